#pragma once

class QMenu;
class TForm1;

/// Adds "画像から色を取得…" to menu: a file dialog for an image, then the picking view on it.
void AddImagePickEntry(QMenu& menu, TForm1& form);

/// Lets image files and image data be dropped on form (on any of its controls): the picking
/// view opens on the image dropped.
void AcceptImageDrops(TForm1& form);

/// Opens the picking view on the clipboard's image, when it holds one. False when it holds none,
/// so that the caller goes on as it would without.
bool PickClipboardImageInto(TForm1& form);
