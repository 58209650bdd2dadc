#include "ui/pick/image_pick.h"

#include <memory>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QImageReader>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPointer>
#include <QUrl>

#include "platform/codepage.h"
#include "ui/boxes.h"
#include "ui/paste_colour.h"
#include "ui/pick/image_load.h"
#include "ui/pick/pick_view.h"
#include "ui/recent_colours_menu.h"
#include "ui/text.h"
#include "ui/unit1.h"

namespace {

// Opens the picking view on image in a window of its own; the colour taken is shown as a paste
// shows its colour, and remembered. An image that could not be had is reported instead.
void PickImageInto(TForm1& form, LoadedImage image, const QString& name)
{
    if (image.shown.isNull()) {
        std::string message = Sjis(u8"画像を開けません。");
        if (!name.isEmpty()) {
            message += '\n';
            message += FromQString(name);
        }
        message += '\n';
        message += image.error;
        ShowInformationBox(message);
        return;
    }
    PickFrame frame;
    frame.image = image.shown;
    frame.geometry = image.shown.rect();
    if (image.space) {
        auto own = std::make_shared<const LoadedImage>(std::move(image));
        frame.ownSpaceText = [own](QPoint point) { return OwnSpaceText(*own, point); };
    }
    QPointer<TForm1> target = &form;
    OpenPickView(
        &form, std::move(frame), PickViewKind::ImageWindow, [target](std::optional<Rgb> colour) {
            if (!colour || !target)
                return;
            RunHandler([&] { ShowChosenColour(*target, ColorOf(*colour)); });
            RememberTakenColour(*colour);
        });
}

QString ImageFilter()
{
    QStringList patterns;
    for (const QByteArray& suffix : QImageReader::supportedImageFormats())
        patterns << QStringLiteral("*.") + QString::fromLatin1(suffix);
    return ToQString(Sjis(u8"画像")) + QStringLiteral(" (") + patterns.join(u' ')
        + QStringLiteral(");;") + ToQString(Sjis(u8"すべてのファイル")) + QStringLiteral(" (*)");
}

void ChooseImage(TForm1& form)
{
    const QString chosen = QFileDialog::getOpenFileName(
        &form, ToQString(Sjis(u8"画像から色を取得")), QString(), ImageFilter());
    if (!chosen.isEmpty())
        PickImageInto(form, LoadImageFile(chosen), chosen);
}

// The first local file a drag carries, or empty.
QString DraggedFile(const QMimeData& data)
{
    for (const QUrl& url : data.urls()) {
        if (url.isLocalFile())
            return url.toLocalFile();
    }
    return {};
}

bool CarriesImage(const QMimeData& data)
{
    return data.hasImage() || !DraggedFile(data).isEmpty();
}

class ImageDropFilter : public QObject
{
public:
    explicit ImageDropFilter(TForm1& form)
        : QObject(&form)
        , m_form(form)
    {
    }

    bool eventFilter(QObject*, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDragMoveEvent*>(event);
            if (!drag->mimeData() || !CarriesImage(*drag->mimeData()))
                return false;
            drag->acceptProposedAction();
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            const QMimeData* data = drop->mimeData();
            if (!data || !CarriesImage(*data))
                return false;
            drop->acceptProposedAction();
            // A file names itself; data comes decoded by Qt.
            const QString file = DraggedFile(*data);
            LoadedImage image = file.isEmpty()
                ? PrepareImage(qvariant_cast<QImage>(data->imageData()))
                : LoadImageFile(file);
            // Not inside the drop: the drag's source waits for it to end.
            QPointer<TForm1> target = &m_form;
            QMetaObject::invokeMethod(
                this,
                [target, image = std::move(image), file]() mutable {
                    if (target)
                        RunHandler([&] { PickImageInto(*target, std::move(image), file); });
                },
                Qt::QueuedConnection);
            return true;
        }
        default:
            return false;
        }
    }

private:
    TForm1& m_form;
};

} // namespace

void AddImagePickEntry(QMenu& menu, TForm1& form)
{
    QPointer<TForm1> target = &form;
    QObject::connect(menu.addAction(ToQString(Sjis(u8"画像から色を取得…"))), &QAction::triggered,
        &menu, [target] {
            if (target)
                RunHandler([&] { ChooseImage(*target); });
        });
}

void AcceptImageDrops(TForm1& form)
{
    form.setAcceptDrops(true);
    auto* filter = new ImageDropFilter(form);
    form.installEventFilter(filter);
    // The text boxes take drops of their own (text): an image dropped on them is the window's.
    for (QLineEdit* box : form.findChildren<QLineEdit*>())
        box->installEventFilter(filter);
}

bool PickClipboardImageInto(TForm1& form)
{
    const QMimeData* data = QApplication::clipboard()->mimeData();
    if (!data || !data->hasImage())
        return false;
    PickImageInto(form, PrepareImage(qvariant_cast<QImage>(data->imageData())), {});
    return true;
}
