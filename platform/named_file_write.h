#pragma once

#include <string>
#include <string_view>

// Writing a file that the user named (an export's target), the way the shell's ">" opens one: no
// symbolic link is resolved here, so the system's own rules for links apply, and a link that
// another user planted in a shared folder is refused even where the system does not enforce that.

/// Why a write to a named file did not happen.
struct NamedFileWriteError
{
    enum Kind {
        None,
        System, // error holds the errno
        ForeignLink, // a link in a sticky, world-writable folder owned by neither this user nor
        // the folder's owner
        NotAFile, // a folder, FIFO, device or socket stands under that name (error: its S_IFMT)
    } kind = None;
    int error = 0;
};

/// Puts content in the file at path. A path whose last part is no link is replaced in one step
/// (a temporary file beside it, then a rename: an existing file keeps its owner and permission
/// bits, and a failure leaves it whole). A link whose owner is this user (or the folder's owner,
/// or the folder is no shared sticky one) is written through, into the file it names, in place,
/// as the shell would; any other link is refused. Never blocks on a FIFO.
NamedFileWriteError WriteNamedFile(const std::string& path, std::string_view content);

/// True for a link that the system's protection of links in shared folders would not follow: the
/// folder (described by folder) is sticky and world-writable, and the link's owner is neither the
/// effective user nor the folder's owner.
bool IsForeignLink(unsigned folderMode, unsigned folderOwner, unsigned linkOwner);
