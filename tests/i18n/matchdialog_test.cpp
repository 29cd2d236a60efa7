// The match dialog, driven with real mouse and key events while it runs modally.
#include <gtest/gtest.h>

#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "core/widgets/matchdialog.h"
#include "core/widgets/matchdialogchooser.h"
#include "englishtexts.h"

namespace zark {
namespace {

class MatchDialogTest : public test::EnglishTexts {
protected:
    void SetUp() override {
        test::EnglishTexts::SetUp();
        catalogue_ = std::make_unique<MatchCatalogue>(false);
        catalogue_->SetChooser(&chooser_);
    }

    // Runs ChooseProgramme; once the dialog is up, `act` drives it. A dialog still open a while
    // later is cancelled, so a broken test fails instead of hanging.
    bool Choose(std::function<void(MatchDialog&)> act) {
        bool acted = false;
        QObject context;  // a dialog that never shows leaves no pending call behind
        QTimer::singleShot(0, &context, [&] {
            auto* dialog = qobject_cast<MatchDialog*>(QApplication::activeModalWidget());
            if (!dialog) return;
            acted = true;
            act(*dialog);
        });
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, [] {
            if (auto* dialog = qobject_cast<MatchDialog*>(QApplication::activeModalWidget())) {
                ADD_FAILURE() << "the dialog was left open";
                dialog->reject();
            }
        });
        guard.start(5000);
        const bool chosen = catalogue_->ChooseProgramme();
        EXPECT_TRUE(acted) << "the dialog did not show";
        return chosen;
    }

    static QListWidget* List(MatchDialog& d) { return d.findChild<QListWidget*>("list2203"); }
    static QPushButton* Ok(MatchDialog& d) { return d.findChild<QPushButton*>("button2001"); }
    static QPushButton* Cancel(MatchDialog& d) { return d.findChild<QPushButton*>("button2002"); }

    static QListWidgetItem* ItemTitled(MatchDialog& d, const QString& title) {
        const auto found = List(d)->findItems(title, Qt::MatchExactly);
        return found.size() == 1 ? found.front() : nullptr;
    }
    static QPoint Centre(QListWidget* list, QListWidgetItem* item) {
        list->scrollToItem(item);
        return list->visualItemRect(item).center();
    }
    static void Click(MatchDialog& d, const QString& title) {
        QListWidgetItem* item = ItemTitled(d, title);
        ASSERT_NE(item, nullptr) << title.toStdString();
        QTest::mouseClick(List(d)->viewport(), Qt::LeftButton, {}, Centre(List(d), item));
    }
    static void DoubleClick(MatchDialog& d, const QString& title) {
        QListWidgetItem* item = ItemTitled(d, title);
        ASSERT_NE(item, nullptr) << title.toStdString();
        const QPoint at = Centre(List(d), item);
        QTest::mouseClick(List(d)->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(List(d)->viewport(), Qt::LeftButton, {}, at);
    }

    MatchDialogChooser chooser_;
    std::unique_ptr<MatchCatalogue> catalogue_;
};

TEST_F(MatchDialogTest, ShowsTheTitlesSortedEachWithItsIndex) {
    QStringList shown;
    bool okEnabled = true;
    QString caption, okText, cancelText;
    std::vector<int> indices;
    EXPECT_FALSE(Choose([&](MatchDialog& d) {
        caption = d.windowTitle();
        okEnabled = Ok(d)->isEnabled();
        okText = Ok(d)->text();
        cancelText = Cancel(d)->text();
        for (int row = 0; row < List(d)->count(); ++row) {
            shown << List(d)->item(row)->text();
            indices.push_back(List(d)->item(row)->data(Qt::UserRole).toInt());
        }
        QTest::mouseClick(Cancel(d), Qt::LeftButton);
    }));
    EXPECT_EQ(caption, "Match");
    EXPECT_EQ(okText, "&OK");
    EXPECT_EQ(cancelText, "&Cancel");
    EXPECT_FALSE(okEnabled);  // nothing is selected yet
    EXPECT_EQ(shown, (QStringList{"Air Rifle/Pistol 40 Shots", "Air Rifle/Pistol 60 Shots", "Pistol 12x5 Shots",
                                  "Pistol 6x10 Shots", "Rifle 60 Prone", "Rifle Full Match", "Rifle Half Match"}));
    ASSERT_EQ(indices.size(), 7u);
    for (int row = 0; row < 7; ++row)
        EXPECT_EQ(QString::fromUtf8(catalogue_->Programme(indices[std::size_t(row)]).title), shown[row]);
    EXPECT_EQ(catalogue_->ChosenIndex(), -1);
}

TEST_F(MatchDialogTest, ClickThenOkChoosesTheClickedProgramme) {
    bool okAfterClick = false;
    EXPECT_TRUE(Choose([&](MatchDialog& d) {
        Click(d, "Pistol 6x10 Shots");
        okAfterClick = Ok(d)->isEnabled();
        QTest::mouseClick(Ok(d), Qt::LeftButton);
    }));
    EXPECT_TRUE(okAfterClick);
    EXPECT_EQ(catalogue_->ChosenIndex(), 3);
    MatchProgramme programme{};
    ASSERT_TRUE(catalogue_->CopyChosen(programme));
    EXPECT_STREQ(programme.title, "Pistol 6x10 Shots");
    EXPECT_EQ(programme.seriesCount, 7);
}

TEST_F(MatchDialogTest, DoubleClickChoosesAtOnce) {
    EXPECT_TRUE(Choose([&](MatchDialog& d) { DoubleClick(d, "Rifle Full Match"); }));
    EXPECT_EQ(catalogue_->ChosenIndex(), 5);
}

TEST_F(MatchDialogTest, CancelCloseAndEscapeKeepTheEarlierChoice) {
    ASSERT_TRUE(Choose([&](MatchDialog& d) { DoubleClick(d, "Rifle 60 Prone"); }));
    ASSERT_EQ(catalogue_->ChosenIndex(), 4);
    EXPECT_FALSE(Choose([&](MatchDialog& d) {
        Click(d, "Air Rifle/Pistol 40 Shots");
        QTest::mouseClick(Cancel(d), Qt::LeftButton);
    }));
    EXPECT_FALSE(Choose([&](MatchDialog& d) {
        Click(d, "Air Rifle/Pistol 40 Shots");
        d.close();  // the close box
    }));
    EXPECT_FALSE(Choose([&](MatchDialog& d) {
        Click(d, "Air Rifle/Pistol 40 Shots");
        QTest::keyClick(List(d), Qt::Key_Escape);
    }));
    EXPECT_EQ(catalogue_->ChosenIndex(), 4);
}

TEST_F(MatchDialogTest, OkWithoutSelectionDoesNothing) {
    bool stillOpen = false;
    EXPECT_FALSE(Choose([&](MatchDialog& d) {
        QTest::mouseClick(Ok(d), Qt::LeftButton);
        QTest::keyClick(&d, Qt::Key_Return);
        stillOpen = d.isVisible() && d.chosenIndex() == -1;
        QTest::mouseClick(Cancel(d), Qt::LeftButton);
    }));
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(catalogue_->ChosenIndex(), -1);
}

TEST_F(MatchDialogTest, KeyboardChoice) {
    QString selected;
    EXPECT_TRUE(Choose([&](MatchDialog& d) {
        List(d)->setFocus();
        QTest::keyClick(List(d), Qt::Key_Down);
        QTest::keyClick(List(d), Qt::Key_Down);
        const auto items = List(d)->selectedItems();
        if (items.size() == 1) selected = items.front()->text();
        QTest::keyClick(List(d), Qt::Key_Return);
    }));
    ASSERT_FALSE(selected.isEmpty());
    EXPECT_EQ(QString::fromUtf8(catalogue_->Programme(catalogue_->ChosenIndex()).title), selected);
}

TEST_F(MatchDialogTest, TestProgrammeIsListedByItsTitle) {
    setenv("ZARK_TEST", "1", 1);
    catalogue_ = std::make_unique<MatchCatalogue>();
    catalogue_->SetChooser(&chooser_);
    int rows = 0;
    EXPECT_TRUE(Choose([&](MatchDialog& d) {
        rows = List(d)->count();
        DoubleClick(d, "Demo");
    }));
    EXPECT_EQ(rows, 8);
    EXPECT_EQ(catalogue_->ChosenIndex(), 0);
}

TEST_F(MatchDialogTest, OwnedByTheMainWindow) {
    QWidget owner;
    chooser_.SetOwner(&owner);
    QWidget* parent = nullptr;
    EXPECT_FALSE(Choose([&](MatchDialog& d) {
        parent = d.parentWidget();
        d.reject();
    }));
    EXPECT_EQ(parent, &owner);
}

}  // namespace
}  // namespace zark
