#pragma once
// TForm4, the About window: the banner with the version line, the product
// line, the logo and a Close button, in a fixed tool window.

#include "platform/qt/Components.h"
#include "platform/qt/Form.h"

namespace kw {

class TForm4 : public TForm {
public:
    TForm4();

    TBevel* Bevel1;
    TBevel* Bevel2;
    TImage* Image1;
    TLabel* Label2;
    TLabel* Label3;
    TImage* Image2;
    TLabel* Label6;
    TBitBtn* BitBtn1;

    void BitBtn1Click(TObject* Sender);
};

extern TForm4* Form4;

} // namespace kw
