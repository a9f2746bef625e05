#pragma once
// TForm4, the About window.

#include "platform/qt/Form.h"

namespace kw {

class TForm4 : public TForm {
public:
    TForm4();
};

extern TForm4* Form4;

} // namespace kw
