#include "settings/EditorOptionsDialog.h"

#include "platform/qt/Fonts.h"
#include "platform/qt/Pictures.h"

namespace kw {

TForm3* Form3 = nullptr;

namespace {

// A tool window's small caption with its close button as the only button.
constexpr Qt::WindowFlags EditorOptionsFrame =
    Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;

template <class Control>
Control* Placed(Control* control, const char* name, QRect geometry)
{
    control->setObjectName(QLatin1String(name));
    control->setGeometry(geometry);
    return control;
}

TCheckBox* CheckBox(QWidget* page, const char* name, const char* caption, QRect geometry)
{
    const QString text = QString::fromLatin1(caption);
    auto* box = Placed(new TCheckBox(text, page), name, geometry);
    box->setAccessibleName(text);
    return box;
}

TTabSheet* Page(TPageControl* pages, const char* name, const char* caption)
{
    auto* page = new TTabSheet(pages);
    page->setObjectName(QLatin1String(name));
    pages->addTab(page, QString::fromLatin1(caption));
    return page;
}

} // namespace

TForm3::TForm3() : TForm(EditorOptionsFrame)
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Editor Options"));
    setWindowIcon(ProgramIcon());
    setFont(VclFont(MsSansSerif));
    setAutoFillBackground(true);
    setFixedSize(377, 250);

    PageControl1 = Placed(new TPageControl(this), "PageControl1", QRect(0, 0, 377, 249));
    CreateEditorPage();
    CreateOtherPage();
    PageControl1->setCurrentWidget(TabSheet1);
}

void TForm3::CreateEditorPage()
{
    TabSheet1 = Page(PageControl1, "TabSheet1", "Editor Options");
    Bevel1 = Placed(new TBevel(TabSheet1), "Bevel1", QRect(0, 0, 369, 217));
    CheckBox1 = CheckBox(TabSheet1, "CheckBox1", "Add a .gpe extension when compiling to GP2X Release",
                         QRect(8, 8, 289, 17));
    CheckBox2 = CheckBox(TabSheet1, "CheckBox2", "Show compiler and/or compilation informations in memobox",
                         QRect(8, 32, 305, 17));
    setTabOrder(CheckBox1, CheckBox2);
}

void TForm3::CreateOtherPage()
{
    TabSheet2 = Page(PageControl1, "TabSheet2", "Other options");
    Bevel2 = Placed(new TBevel(TabSheet2), "Bevel2", QRect(0, 0, 369, 217));
}

} // namespace kw
