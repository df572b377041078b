#include "dialogs/about_dialog.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include <string>
#include <vector>

#include "dialogs/testing/dialogs_rig.h"
#include "platform/ui/modal_result.h"

namespace dialogs::testing {
namespace {

// The box opens on "Info" with its texts; each link shows its address and a click opens it
// through the shell, leaving the box open: silent when the shell took it, with an error box
// naming the address when the desktop has no program for it; OK closes it and the global is
// cleared with the box.
TEST_F(DialogsTest, AboutShowsItsTextsAndOpensItsLinks) {
    const char* const addresses[] = {
        "https://www.example.org/zantrope/", "https://www.example.org/zantrope/product.html",
        "https://www.example.org/zantrope/faq.html", "mailto:zantrope@example.org?subject="};
    const char* const shown[] = {addresses[0], addresses[1], addresses[2], "zantrope@example.org"};
    for (int i = 0; i < 4; ++i) {
        ui_.AnswerShellOpen(i % 2 == 0);
        if (i % 2 != 0)
            ui_.AnswerMessage(ui::mrOk);
    }
    driver_.Next([&](QDialog& dialog) {
        auto& form = static_cast<TForm16&>(dialog);
        EXPECT_EQ(Form16, &form);
        EXPECT_EQ(form.windowTitle(), "About");
        EXPECT_EQ(form.PageControl1->currentWidget(), form.TabSheet1);
        EXPECT_EQ(form.PageControl1->tabText(0), "Info");
        EXPECT_EQ(form.PageControl1->tabText(1), "Version history");
        EXPECT_EQ(form.Label1->text(), "Version : 1.2 (Builder 1.279)");
        EXPECT_EQ(form.Label6->text(), "FREE Edition");
        EXPECT_EQ(form.Label3->text(), "Zantrope");
        EXPECT_EQ(form.Label4->text(), "Zantrope");
        EXPECT_EQ(form.Label4->pos() + QPoint(2, 2), form.Label3->pos());
        EXPECT_TRUE(form.Label4->font().bold());
        EXPECT_EQ(form.Label4->font().pixelSize(), 16);
        const std::vector<std::pair<QLabel*, const char*>> plain = {
            {form.Label7, "Homepage"},
            {form.Label9, "Product Page"},
            {form.Label11, "FAQ Page "},
            {form.Label13, "Bug report and support"}};
        for (const auto& [label, text] : plain)
            EXPECT_EQ(label->text(), text);
        QLabel* const links[] = {form.Label5, form.Label8, form.Label10, form.Label12};
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(links[i]->text(), shown[i]);
            EXPECT_GE(links[i]->width(), links[i]->sizeHint().width()) << shown[i];  // whole
            EXPECT_EQ(links[i]->cursor().shape(), Qt::PointingHandCursor);
            QTest::mouseClick(links[i], Qt::LeftButton);
            EXPECT_TRUE(form.isVisible());
        }
        EXPECT_TRUE(form.Memo1->isReadOnly());
        const QString history = form.Memo1->toPlainText();
        for (const char* part : {"Zantrope 1.2", "UPDATE:", "*CHMOD", "*And so on.",
                                 "BUG:", "Zantrope 1.0", "*An explorer-like interface."})
            EXPECT_TRUE(history.contains(QString::fromLatin1(part))) << part;
        QTest::mouseClick(form.Button1, Qt::LeftButton);
    });
    {
        TForm16 form;
        EXPECT_EQ(form.exec(), ui::mrOk);
    }
    EXPECT_EQ(Form16, nullptr);
    ASSERT_EQ(ui_.Calls().size(), 6u);
    std::size_t call = 0;
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(addresses[i]);
        EXPECT_EQ(ui_.Calls()[call].service, ui::UiService::kShellOpen);
        EXPECT_EQ(ui_.Calls()[call].text, addresses[i]);
        ++call;
        if (i % 2 != 0) {
            EXPECT_EQ(ui_.Calls()[call].service, ui::UiService::kMessage);
            EXPECT_EQ(ui_.Calls()[call].kind, ui::MessageKind::kError);
            EXPECT_EQ(ui_.Calls()[call].text, ui::NoProgramText(shown[i]));
            ++call;
        }
    }
}

}  // namespace
}  // namespace dialogs::testing
