#pragma once
// TForm3, the Editor Options dialog: two pages, the first with two check
// boxes. Nothing reads them; they keep their state while the program runs.

#include "platform/qt/Components.h"
#include "platform/qt/Form.h"

namespace kw {

class TForm3 : public TForm {
public:
    TForm3();

    TPageControl* PageControl1;
    TTabSheet* TabSheet1;
    TBevel* Bevel1;
    TCheckBox* CheckBox1;
    TCheckBox* CheckBox2;
    TTabSheet* TabSheet2;
    TBevel* Bevel2;

private:
    void CreateEditorPage();
    void CreateOtherPage();
};

extern TForm3* Form3;

} // namespace kw
