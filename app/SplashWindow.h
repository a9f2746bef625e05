#pragma once
// TForm5, the splash window: the banner and the version line in a borderless
// rounded window, shown for two ticks of its one-second timer.

#include "platform/qt/Components.h"
#include "platform/qt/Form.h"

#include <QPoint>

namespace kw {

class TForm5 : public TForm {
public:
    TForm5();

    TImage* Image1;
    TLabel* Label1;
    TTimer* Timer1;

    void FormCreate(TObject* Sender);
    void Timer1Timer(TObject* Sender);
};

extern TForm5* Form5;

// Counts the splash timer's ticks: 1 at creation, closing at 3.
extern int SplashTickCount;

// The yellow version line over the banner, as the splash and the About
// window show it, with its top-left corner at `place`.
TLabel* VersionLabel(QWidget* parent, QPoint place);

} // namespace kw
