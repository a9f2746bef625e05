#pragma once
// TForm3, the Editor Options dialog.

#include "platform/qt/Form.h"

namespace kw {

class TForm3 : public TForm {
public:
    TForm3();
};

extern TForm3* Form3;

} // namespace kw
