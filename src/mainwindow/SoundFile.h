#pragma once

#include <QString>
#include <QStringList>

// Where alert sounds are found. The sound option holds either the bare name
// of a built-in sound or the absolute path of the user's own file; both the
// preferences' "Test" button and the alert resolve it here, so they always
// play the same file.
namespace SoundFile {

// The built-in sounds, in the order the preferences offer them.
QStringList BuiltInNames();

// The directories searched for a bare name, in order: "sound" beside the
// executable, then the installed sound directory when the build names one.
QStringList SearchDirectories();

// The absolute path to play: an absolute path stays as it is; a bare name is
// the first existing file of that name in the directories, or, when none has
// it, the path it would have in the first one. A blank name resolves to an
// empty text: there is nothing to play.
QString Resolve(const QString& name, const QStringList& directories);
QString Resolve(const QString& name);

} // namespace SoundFile
