#pragma once
// TForm2, the Compiler Options dialog.

#include "platform/qt/Form.h"

namespace kw {

class TForm2 : public TForm {
public:
    TForm2();
};

extern TForm2* Form2;

} // namespace kw
