#pragma once
// Where the program keeps its folder (config.ini, 数据/, 书签/, 皮肤/). A program run from
// its own folder keeps it there. An installed program cannot write beside its binary, so
// it keeps a folder of its own in the user's data folder, made from the installed template.
#include <QString>

namespace programfolder {

// The template an installed program ships, <binary folder>/../share/olumetta/, when it
// holds a config.ini and the binary's own folder does not; otherwise empty.
QString InstalledTemplate(const QString &binaryDir);
// The user's folder of an installed program: $XDG_DATA_HOME/olumetta/, by default
// ~/.local/share/olumetta/.
QString UserFolder();
// Copies into dir whatever of the template it lacks, folder by folder; nothing there is
// replaced. False when something could not be made.
bool FillFromTemplate(const QString &templateDir, const QString &dir);

}  // namespace programfolder
