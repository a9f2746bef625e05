#pragma once
// The Save steps, shared by the Save button and the build commands' save step.

namespace kw {

class TRichEdit;
class TSaveDialog;

// Shows the Save dialog; when confirmed, switches the editor to plain-text
// mode and saves its whole text to the chosen file. A cancel saves nothing.
void RunSaveSteps(TSaveDialog& dialog, TRichEdit& editor);

} // namespace kw
