// The program's home: which folder it is (the user's data folder, a portable
// copy's own folder), where the installed shipped files are found, and the
// copy of the shipped files into the home, which must leave the user's own
// files alone. Every test sets its own environment and folders.
#include "shell/program_home.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <optional>

#include "support/common/temp_dir.h"

namespace {

using testing_support::ReadFileBytes;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

// Sets (or, with nullopt, removes) one environment variable for a scope.
class ScopedEnv {
 public:
  ScopedEnv(const char *name, std::optional<QByteArray> value)
      : name_(name), had_(qEnvironmentVariableIsSet(name)), saved_(qgetenv(name)) {
    Set(value);
  }
  ~ScopedEnv() { Set(had_ ? std::optional<QByteArray>(saved_) : std::nullopt); }

 private:
  void Set(const std::optional<QByteArray> &value) {
    if (value) {
      qputenv(name_, *value);
    } else {
      qunsetenv(name_);
    }
  }
  const char *name_;
  bool had_;
  QByteArray saved_;
};

QString Q(const std::string &s) { return QString::fromStdString(s); }

void MakeFile(const std::string &path, const std::string &bytes) {
  QDir().mkpath(QFileInfo(Q(path)).absolutePath());
  WriteFileBytes(path, bytes);
}

void SetModified(const std::string &path, const QDateTime &when) {
  QFile file(Q(path));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  ASSERT_TRUE(file.setFileTime(when, QFileDevice::FileModificationTime));
}

#ifdef _WIN32
// The variable that names the user's data folder, and its folder when the
// variable is unset or unusable: the profile's roaming application data.
constexpr char kDataVariable[] = "APPDATA";
#else
constexpr char kDataVariable[] = "XDG_DATA_HOME";
#endif

TEST(ProgramHome, TheUsersDataFolder) {
  struct Case {
    const char *what;
    std::optional<QByteArray> variable;
    QString expected;
  };
#ifdef _WIN32
  const QString roaming = QDir::homePath() + "/AppData/Roaming/vedil/";
  const Case cases[] = {
      {"variable set", QByteArray("D:\\Profiles\\ivan\\Roaming"), "D:/Profiles/ivan/Roaming/vedil/"},
      {"trailing separator", QByteArray("D:\\Profiles\\ivan\\Roaming\\"),
       "D:/Profiles/ivan/Roaming/vedil/"},
      {"forward slashes", QByteArray("D:/Profiles/ivan/Roaming"), "D:/Profiles/ivan/Roaming/vedil/"},
      {"variable unset", std::nullopt, roaming},
      {"variable empty", QByteArray(""), roaming},
      {"relative path is ignored", QByteArray("data"), roaming},
  };
#else
  const ScopedEnv home("HOME", QByteArray("/home/ivan"));
  const Case cases[] = {
      {"variable set", QByteArray("/srv/data"), "/srv/data/vedil/"},
      {"trailing slash", QByteArray("/srv/data/"), "/srv/data/vedil/"},
      {"variable unset", std::nullopt, "/home/ivan/.local/share/vedil/"},
      {"variable empty", QByteArray(""), "/home/ivan/.local/share/vedil/"},
      {"relative path is ignored", QByteArray("data"), "/home/ivan/.local/share/vedil/"},
  };
#endif
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    const ScopedEnv variable(kDataVariable, c.variable);
    EXPECT_EQ(shell::UserDataHome(), c.expected);
  }
}

class ProgramFolderTest : public testing::Test {
 protected:
  ProgramFolderTest()
      : data_folder_(kDataVariable, QFile::encodeName(Q(data_.path()))),
        program_(Q(dir_.File("usr/bin/vedil"))) {
    MakeFile(dir_.File("usr/bin/vedil"), "");
  }
  void Mark() { WriteFileBytes(dir_.File("usr/bin/vedil.portable"), ""); }
  QString UserHome() const { return Q(data_.File("vedil/")); }
  QString ProgramDir() const { return Q(dir_.File("usr/bin/")); }

  TempDir dir_;
  TempDir data_;
  ScopedEnv data_folder_;
  QString program_;
};

TEST_F(ProgramFolderTest, WithoutTheMarkerTheHomeIsTheUsersDataFolder) {
  EXPECT_FALSE(shell::IsPortableCopy(program_));
  EXPECT_EQ(shell::ProgramHomeFor(program_), UserHome());
}

TEST_F(ProgramFolderTest, AMarkedWritableFolderIsItsOwnHome) {
  Mark();
  EXPECT_TRUE(shell::IsPortableCopy(program_));
  EXPECT_EQ(shell::ProgramHomeFor(program_), ProgramDir());
}

TEST_F(ProgramFolderTest, AMarkedFolderTheUserCannotWriteFallsBackToTheDataFolder) {
#ifdef _WIN32
  GTEST_SKIP() << "a folder's read-only bit does not forbid writing into it on Windows";
#else
  if (geteuid() == 0) GTEST_SKIP() << "root may write every folder";
#endif
  Mark();
  ASSERT_EQ(chmod(dir_.File("usr/bin").c_str(), 0555), 0);
  EXPECT_FALSE(shell::IsPortableCopy(program_));
  EXPECT_EQ(shell::ProgramHomeFor(program_), UserHome());
  EXPECT_EQ(shell::ShippedFilesDir(program_), ProgramDir());  // still its own files
  chmod(dir_.File("usr/bin").c_str(), 0755);
}

TEST_F(ProgramFolderTest, InstalledShippedFilesAreFoundBesideTheBinariesFolder) {
  // The build tree and a portable copy carry them in their own folder.
  EXPECT_EQ(shell::ShippedFilesDir(program_), ProgramDir());
  // An installed program (under any prefix) has them in share/vedil.
  ASSERT_TRUE(QDir().mkpath(Q(dir_.File("usr/share/vedil"))));
  EXPECT_EQ(shell::ShippedFilesDir(program_), Q(dir_.File("usr/share/vedil/")));
  // A portable copy keeps to its own folder even there.
  Mark();
  EXPECT_EQ(shell::ShippedFilesDir(program_), ProgramDir());
}

// A shipped folder as installed, with (wrongly) files of the user's own names
// beside the shipped ones, and a home that does not exist yet.
class HomeUpdateTest : public testing::Test {
 protected:
  HomeUpdateTest() {
    for (const char *name : kShipped) MakeFile(shipped_.File(name), std::string("shipped ") + name);
    for (const char *name : kUsersOwn) MakeFile(shipped_.File(name), "not the user's");
    for (const char *name : kShipped) SetModified(shipped_.File(name), kInstalled);
  }
  shell::HomeUpdate Update() {
    return shell::UpdateProgramHome(Q(shipped_.path()), Q(home_), QStringLiteral("vedil"));
  }
  std::string Home(const std::string &name) const { return home_ + "/" + name; }
  static qint64 ModifiedSeconds(const std::string &path) {
    return QFileInfo(Q(path)).lastModified().toSecsSinceEpoch();
  }

  static constexpr const char *kShipped[] = {"data/Countries.dbf", "data/Countries.cdx",
                                             "data/Incomes.dbf", "vedil.rav", "vedil.html"};
  static constexpr const char *kUsersOwn[] = {"vedil.ini", "data/dvel.dbf", "data/dvel.ntx",
                                              "data/121212121.txt"};
  const QDateTime kInstalled = QDateTime::fromSecsSinceEpoch(1700000000).addMSecs(250);
  TempDir shipped_;
  TempDir root_;
  const std::string home_ = root_.File("nested/share/vedil");
};

TEST_F(HomeUpdateTest, FirstStartMakesAPrivateHomeWithTheShippedFilesOnly) {
  const shell::HomeUpdate update = Update();
  EXPECT_TRUE(update.home_ready);
  EXPECT_TRUE(update.failed.isEmpty()) << update.error.toStdString();
  EXPECT_EQ(update.copied, QStringList({"data/Countries.dbf", "data/Countries.cdx",
                                        "data/Incomes.dbf", "vedil.rav", "vedil.html"}));
  for (const char *folder : {"nested", "nested/share", "nested/share/vedil/data"}) {
    SCOPED_TRACE(folder);
    EXPECT_TRUE(QFileInfo(Q(root_.File(folder))).isDir());
#ifndef _WIN32
    // Windows gives a new folder the rights of the profile it is made in.
    struct stat st {};
    ASSERT_EQ(stat(root_.File(folder).c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
#endif
  }
  for (const char *name : kShipped) {
    SCOPED_TRACE(name);
    EXPECT_EQ(ReadFileBytes(Home(name)), std::string("shipped ") + name);
    EXPECT_EQ(ModifiedSeconds(Home(name)), kInstalled.toSecsSinceEpoch());
  }
  for (const char *name : kUsersOwn) EXPECT_FALSE(QFileInfo::exists(Q(Home(name)))) << name;
  EXPECT_EQ(shell::HomeUpdateProblem(update, Q(home_)), QString());

  // The next start finds everything in place and copies nothing.
  EXPECT_EQ(Update().copied, QStringList());
}

TEST_F(HomeUpdateTest, OnlyNewerInstalledFilesAreCopiedAgainAndTheUsersFilesNever) {
  ASSERT_TRUE(Update().failed.isEmpty());
  for (const char *name : kUsersOwn) MakeFile(Home(name), "the user's");
  for (const char *name : kUsersOwn) SetModified(shipped_.File(name), kInstalled.addYears(1));
  MakeFile(Home("vedil.rav"), "changed by the user");
  SetModified(Home("vedil.rav"), kInstalled.addDays(1));

  // An upgrade: newer countries index and help, an older report project.
  for (const char *name : {"data/Countries.cdx", "vedil.html", "vedil.rav"}) {
    MakeFile(shipped_.File(name), std::string("upgraded ") + name);
  }
  SetModified(shipped_.File("data/Countries.cdx"), kInstalled.addSecs(1));
  SetModified(shipped_.File("vedil.html"), kInstalled.addDays(30));
  SetModified(shipped_.File("vedil.rav"), kInstalled);

  // The table travels with its index.
  EXPECT_EQ(Update().copied,
            QStringList({"data/Countries.dbf", "data/Countries.cdx", "vedil.html"}));
  EXPECT_EQ(ReadFileBytes(Home("data/Countries.cdx")), "upgraded data/Countries.cdx");
  EXPECT_EQ(ReadFileBytes(Home("vedil.html")), "upgraded vedil.html");
  EXPECT_EQ(ReadFileBytes(Home("vedil.rav")), "changed by the user");
  EXPECT_EQ(ReadFileBytes(Home("data/Incomes.dbf")), "shipped data/Incomes.dbf");
  for (const char *name : kUsersOwn) EXPECT_EQ(ReadFileBytes(Home(name)), "the user's") << name;
  EXPECT_EQ(Update().copied, QStringList());
}

TEST_F(HomeUpdateTest, AMissingHomeFileIsCopiedAgain) {
  ASSERT_TRUE(Update().failed.isEmpty());
  ASSERT_TRUE(QFile::remove(Q(Home("data/Incomes.dbf"))));
  EXPECT_EQ(Update().copied, QStringList({"data/Incomes.dbf"}));
}

TEST_F(HomeUpdateTest, AHomeThatCannotBeMadeIsReported) {
  MakeFile(root_.File("nested"), "a file where the folder should be");
  const shell::HomeUpdate update = Update();
  EXPECT_FALSE(update.home_ready);
  EXPECT_TRUE(update.copied.isEmpty());
  const QString problem = shell::HomeUpdateProblem(update, Q(home_) + "/");
  EXPECT_TRUE(problem.startsWith(
      QStringLiteral("Папката с данните на програмата [%1] не може да бъде създадена (")
          .arg(QDir::toNativeSeparators(Q(home_) + "/"))))
      << problem.toStdString();
}

TEST_F(HomeUpdateTest, AFileThatCannotBeCopiedIsNamedAndTheOthersStillCome) {
  ASSERT_TRUE(QDir().mkpath(Q(Home("data/Incomes.dbf/x"))));  // a folder in the way
  const shell::HomeUpdate update = Update();
  EXPECT_TRUE(update.home_ready);
  EXPECT_EQ(update.failed, QStringList({"data/Incomes.dbf"}));
  EXPECT_EQ(update.copied.size(), 4);
  const QString problem = shell::HomeUpdateProblem(update, Q(home_));
  EXPECT_TRUE(problem.startsWith(
      QStringLiteral("Файловете на програмата не могат да бъдат копирани в папката [%1] (")
          .arg(QDir::toNativeSeparators(Q(home_)))))
      << problem.toStdString();
  EXPECT_TRUE(problem.endsWith(QStringLiteral("):\ndata/Incomes.dbf"))) << problem.toStdString();
}

TEST_F(HomeUpdateTest, APortableCopyIsItsOwnShippedFolder) {
  const shell::HomeUpdate update =
      shell::UpdateProgramHome(Q(shipped_.path()), Q(shipped_.path() + "/"), "vedil");
  EXPECT_TRUE(update.home_ready);
  EXPECT_TRUE(update.copied.isEmpty());
  EXPECT_EQ(ReadFileBytes(shipped_.File("vedil.ini")), "not the user's");
}

}  // namespace
