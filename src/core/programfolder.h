#pragma once
// Where the program keeps its folder (config.ini, 数据/, 书签/, 皮肤/). A program run from
// its own folder keeps it there. An installed program cannot write beside its binary, so
// it keeps a folder of its own in the user's data folder, made from the installed template.
#include <QString>

// Who says where the program folder is: the platform in the program, a test's own folder
// in tests. The newest source alive decides; one with nothing to say (empty) passes to the
// one before it, and with none the program's own default holds.
class ProgramFolderSource {
  public:
    virtual QString programFolder() const = 0;

  protected:
    ProgramFolderSource();
    virtual ~ProgramFolderSource();
    ProgramFolderSource(const ProgramFolderSource &) = delete;
    ProgramFolderSource &operator=(const ProgramFolderSource &) = delete;
};

// The program folder, with exactly one trailing '/'.
QString AppDir();

namespace config {

// The folder with exactly one trailing '/'.
QString withTrailingSlash(const QString &dir);
// The folder of the running binary, and the template beside it when it is an installed
// program (then the default folder is the user's own, made from it); empty when it is not.
QString binaryDir();
QString installedTemplate();
// Where the program keeps its folder when no source says otherwise.
QString defaultProgramFolder();
QString configPath();  // AppDir + "config.ini"
// A path stored with backslashes, as the setting files hold them, in this system's form.
QString localPath(const QString &stored);

}  // namespace config

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
