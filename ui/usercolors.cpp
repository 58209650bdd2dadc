// The user colours: loaded at start, registered from CurrentHex under a typed name, shown by a
// double-click, deleted after a warning. The file work is in settings/usercolor_store.

#include <string>

#include <QSignalBlocker>
#include <QString>

#include "colour/conversions.h"
#include "platform/codepage.h"
#include "settings/profile_file.h"
#include "settings/usercolor_store.h"
#include "ui/boxes.h"
#include "ui/text.h"
#include "ui/usercolor_model.h"
#include "ui/unit1.h"

std::int32_t UserColorCount = 0;
std::shared_ptr<TStringList> UserColorList;

namespace {

const std::string& UserColorText()
{
    static const std::string text = "User Color";
    return text;
}

/// The entry at index of UserColorList; the list index error when there is none.
std::string ListedEntry(int index)
{
    if (!UserColorList || index < 0 || static_cast<std::size_t>(index) >= UserColorList->size()) {
        throw ListIndexError(index);
    }
    return std::string((*UserColorList)[static_cast<std::size_t>(index)]);
}

/// Makes the list and the drop-down's items mirror load. The drop-down shows the list itself
/// through a model of its own, which makes each name when it is asked for, so thousands of names
/// are neither copied nor converted at once; the text field and the selection stay as they were.
void ShowLoaded(TComboBox& box, UserColorLoad&& load)
{
    UserColorCount = load.count;
    UserColorList = std::make_shared<TStringList>(std::move(load.entries));

    auto* model = qobject_cast<UserColorModel*>(box.model());
    box.ClearItems();
    const QSignalBlocker quiet(box);
    const QString shown = box.currentText();
    if (!model) {
        model = new UserColorModel(&box);
        box.setModel(model);
    }
    model->SetEntries(UserColorList);
    box.setCurrentIndex(-1);
    box.setEditText(shown);
}

/// The refusal of a name with a character the settings file cannot hold, quoting the first such
/// character (both halves of a surrogate pair) so that the user knows which one to take out.
QString CannotHoldText(const QString& name)
{
    QString character;
    for (qsizetype at = 0; at < name.size() && character.isEmpty();) {
        const qsizetype length = name[at].isHighSurrogate() && at + 1 < name.size() ? 2 : 1;
        const QString one = name.mid(at, length);
        std::size_t lost = std::string::npos;
        FromQString(one, &lost);
        if (lost != std::string::npos) {
            character = one;
        }
        at += length;
    }
    return ToQString(Sjis(u8"名前に使えない文字（")) + character
        + ToQString(Sjis(u8"）が含まれています。\nこの文字を除いてから、もう一度「登録」をクリック"
                         u8"してください。"));
}

} // namespace

void TForm1::FormCreate(QObject*)
{
    ReloadUserColors();
}

void TForm1::ReloadUserColors()
{
    UserColorLoad load = LoadUserColors(*IniBrel1);
    const bool unconverted = load.unconverted;
    // What the section really holds is listed; the file stays as it is until the user registers
    // or deletes, which store a count that matches it again.
    const std::string damaged = !unconverted && load.damaged ? DamagedCountText(load) : "";
    ShowLoaded(*ComboBox2, std::move(load));
    if (unconverted) {
        // A load without the code-page conversions may have missed every colour: said, not hidden.
        throw CodePageError();
    }
    if (!damaged.empty()) {
        ShowInformationBox(damaged);
    }
}

void TForm1::Button4Click(QObject*)
{
    static const std::string showFirst = Sjis(u8"色を表示してから登録してね");
    static const std::string nameFirst = Sjis(u8"色に名前をつけてから登録してね");
    if (CurrentHex.empty()) {
        ShowInformationBox(showFirst);
        return;
    }
    // The checks look at the name as it would be stored: up to its first line end, in CP932.
    std::size_t lost = std::string::npos;
    const std::string name = UpToLineEnd(FromQString(ComboBox2->currentText(), &lost));
    if (name.empty() || name == UserColorText()) {
        ShowInformationBox(nameFirst);
        return;
    }
    // A character the settings file's code page lacks would be stored as "?" and come back as
    // another name.
    if (lost < name.size()) {
        ShowUnicodeInformationBox(CannotHoldText(ComboBox2->currentText()));
        return;
    }
    // The list and the drop-down stay as they are: the new colour is listed after the next load,
    // which the next delete also makes, and that delete keeps it.
    try {
        UserColorCount = RegisterUserColor(*IniBrel1, CurrentHex + name);
    } catch (const UserColorsFull& full) {
        ShowInformationBox(full.Message());
    }
}

void TForm1::ComboBox2DblClick(QObject*)
{
    const std::string entry = ListedEntry(ComboBox2->ItemIndex());
    Edit1->SetText(entry.substr(0, 6));
    SplitHexToRgb(Edit1->Text(), ComponentBoxes(*this));
    Shape1->SetBrushColor(HexToColor(Edit1->Text()));
}

void TForm1::Button5Click(QObject* Sender)
{
    static const std::string question = Sjis(u8"表示しているユーザカラーを削除しますよ");
    if (ShowWarningBox(question, mbYes | mbNo | mbCancel) != idYes) {
        return;
    }
    const int index = ComboBox2->ItemIndex();
    const std::string chosen = ListedEntry(index);
    // The stored entries, not the list loaded at start, are rewritten, so colours that were
    // registered or deleted since then, here or in another window, are kept; the chosen colour is
    // found among them. Nothing changes here unless the new file is in place.
    ShowLoaded(*ComboBox2, DeleteUserColor(*IniBrel1, index, chosen));

    // The display is cleared as the clear command clears it.
    Button3Click(Sender);
}

void TForm1::FormClose(QObject*, TCloseAction&)
{
    UserColorList.reset();
}
