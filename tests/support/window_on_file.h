#pragma once

// The real window with its settings file in a directory of the test's own, every box answered and
// recorded instead of shown.

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <QtTest>

#include "settings/usercolor_store.h"
#include "tests/support/scratch_dir.h"
#include "ui/boxes_p.h"
#include "ui/text.h"
#include "ui/unit1.h"

class WindowOnFile
{
public:
    /// The settings file goes into a new directory under base (the system's temporary directory
    /// when empty).
    explicit WindowOnFile(const std::filesystem::path& base = {})
        : m_scratch("tintora-window-", base)
    {
        BoxAnswerHook() = [this](const BoxRequest& request) {
            m_boxes.push_back(request);
            return m_answer;
        };
        CurrentHex.clear();
    }
    ~WindowOnFile()
    {
        m_form.reset();
        BoxAnswerHook() = nullptr;
        CurrentHex.clear();
        UserColorList.reset();
    }
    WindowOnFile(const WindowOnFile&) = delete;
    WindowOnFile& operator=(const WindowOnFile&) = delete;

    const std::filesystem::path& Dir() const { return m_scratch.Dir(); }
    const std::string& Path() const { return m_path; }
    TForm1& Form() const { return *m_form; }
    std::vector<BoxRequest>& Boxes() { return m_boxes; }
    void Answer(int answer) { m_answer = answer; }

    /// Opens a new window whose settings component uses Path(), loading as at start.
    void Open()
    {
        m_form.reset();
        m_form = std::make_unique<TForm1>();
        m_form->IniBrel1->SetDefaultDir(ddNone);
        m_form->IniBrel1->SetFileName(m_path);
        m_form->ComboBox2->ClearItems();
        RunHandler([this] { m_form->FormCreate(m_form.get()); });
        m_form->show();
    }

    void Close()
    {
        m_form->close();
        m_form.reset();
    }

    /// The items of the user colour drop-down.
    QStringList Items() const
    {
        QStringList items;
        for (int i = 0; i < m_form->ComboBox2->count(); ++i)
            items << m_form->ComboBox2->itemText(i);
        return items;
    }

    /// Registers the colour code under name with the register button.
    void Register(const std::string& code, const std::string& name)
    {
        CurrentHex = code;
        m_form->ComboBox2->SetText(name);
        QTest::mouseClick(m_form->Button4, Qt::LeftButton);
    }

    /// Selects the item at index as the user does, with the arrow keys.
    void Select(int index)
    {
        TComboBox* box = m_form->ComboBox2;
        box->setFocus();
        if (box->ItemIndex() < 0)
            QTest::keyClick(box, Qt::Key_Down);
        while (box->ItemIndex() > 0)
            QTest::keyClick(box, Qt::Key_Up);
        for (int i = 0; i < index; ++i)
            QTest::keyClick(box, Qt::Key_Down);
    }

    /// Deletes the item at index with the delete button, answering its question with Yes.
    void Delete(int index)
    {
        Select(index);
        m_answer = idYes;
        QTest::mouseClick(m_form->Button5, Qt::LeftButton);
    }

    std::string Stored() const { return ReadBytes(m_path); }

    /// The text of the write error box for the settings file.
    std::string WriteErrorText() const
    {
        // " に書き込めません." in CP932.
        return m_path + " \x82\xC9\x8F\x91\x82\xAB\x8D\x9E\x82\xDF\x82\xDC\x82\xB9\x82\xF1.";
    }

private:
    ScratchDir m_scratch;
    const std::string m_path = m_scratch.File("Tintora.ini");
    std::unique_ptr<TForm1> m_form;
    std::vector<BoxRequest> m_boxes;
    int m_answer = idOK;
};
