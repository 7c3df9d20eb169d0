#pragma once

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

#include <QAbstractItemView>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QToolButton>
#include <QtTest>

#include "cu/ui/createl.h"
#include "testing/cu_headers.h"
#include "testing/installation_values.h"
#include "testing/scripted_prompter.h"
#include "testing/temp_root.h"

// What the createl window tests share: an installation with its own operator, the window
// loaded on it, and the operator's gestures on its controls.
namespace cu::testing {

using records::testing::RecordingLauncher;
using records::testing::ScriptedPrompter;
using records::testing::TempRoot;


// One installation with its own operator, and the window loaded on it.
struct Desk {
    TempRoot root;
    ScriptedPrompter prompter;
    RecordingLauncher launcher;
    records::testing::InstallationValues shared{root.path()};
    std::unique_ptr<cu::createl> window;

    Desk() { root.write("c/disco.ute", "C:        "); }

    void addArchive(int n, char kind = '0', const std::string& name1 = "ROSSI SRL")
    {
        root.write("c/nolv/nv770/2016/dati/FCU" + std::to_string(n) + ".017", headerFile(kind, name1, "UFFICIO PAGHE"));
    }

    cu::createl& load()
    {
        window = std::make_unique<cu::createl>(shared.workplace(prompter, launcher));
        window->show();
        return *window;
    }

    template <typename Control>
    Control* control(const QString& name) const
    {
        auto* found = window->findChild<Control*>(name);
        if (!found)
            throw std::runtime_error("no control " + name.toStdString());
        return found;
    }
    QLineEdit* tx(int index) const { return control<QLineEdit>(QStringLiteral("Tx_%1").arg(index)); }
    QToolButton* button(const char* name) const { return control<QToolButton>(QString::fromLatin1(name)); }
    bool inputFrameShown() const { return control<QFrame>(QStringLiteral("inputFrame"))->isVisible(); }
    QString statusText() const
    {
        return control<QStatusBar>(QStringLiteral("StatusBar1"))->findChild<QLabel*>()->text();
    }

    // Picks an item of a combo box as the operator does: opens the list and clicks the item.
    void choose(const char* comboName, int index) const
    {
        auto* combo = control<QComboBox>(QString::fromLatin1(comboName));
        combo->showPopup();
        QAbstractItemView* view = combo->view();
        const QRect item = view->visualRect(view->model()->index(index, 0));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, item.center());
    }

    void typeCode(const QString& code) const { type(0, code); }

    // Replaces the text of Tx(index) by typing, as the operator does.
    void type(int index, const QString& text) const
    {
        tx(index)->selectAll();
        QTest::keyClick(tx(index), Qt::Key_Delete);
        QTest::keyClicks(tx(index), text);
    }

    void click(const char* buttonName) const { QTest::mouseClick(button(buttonName), Qt::LeftButton); }

    // Overwrites bytes of a file below the root, at a 1-based position.
    void patch(const std::string& relative, std::size_t position, const std::string& bytes) const
    {
        std::string content = root.read(relative);
        content.replace(position - 1, bytes.size(), bytes);
        root.write(relative, content);
    }
};


} // namespace cu::testing
