#pragma once

#include <QString>

// The Content Description object of an ASF file: the place of its title,
// author and description (the comment) that every reader of WMA looks at.
// The muxer puts a comment among the extended attributes instead, where
// most readers do not find it.
namespace AsfDescription {

// Sets the description of the finished ASF file at path, keeping the
// object's other fields and every other object; the file is rewritten
// through a temporary beside it.
bool setDescription(const QString &path, const QString &description, QString *error);

} // namespace AsfDescription
