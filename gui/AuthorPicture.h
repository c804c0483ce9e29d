#pragma once

#include <QString>

// The author picture "author.png" of the data folder's Input folder, which the settings panel shows and
// the recording export copies into each recording set.
class AuthorPicture {
public:
    static QString path();
    // Copies `source` byte for byte (a JPEG stays a JPEG) over the author picture through a temporary file
    // renamed into place: a copy that fails (unreadable source, full disk) leaves the old picture as it
    // was, and `source` may be the author picture itself. Returns whether the copy is now in place.
    static bool replace(const QString& source);
};
