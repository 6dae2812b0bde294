#include "common/platform/module_paths.h"

#include "common/platform/files.h"
#include "support/env_var.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

using namespace tnw::platform;
using tnw::test::TempDir;

namespace {

using tnw::test::EnvVar;

std::string canonical(const std::string& path)
{
    return std::filesystem::canonical(path).string();
}

}  // namespace

TEST(ModulePaths, ProgramAndModuleFolders)
{
    const std::string program = programFolder();
    EXPECT_EQ(program, canonical(KVL_BIN_DIR));
    // The platform layer is linked into this program.
    EXPECT_EQ(thisModuleFolder(), program);
    // A function of the C library lives in the C library's folder.
    const std::string libc = moduleFolderOf(reinterpret_cast<const void*>(&::getpid));
    EXPECT_NE(libc, program);
    EXPECT_EQ(libc.back() == '/', false);
    EXPECT_EQ(pathKind(libc), PathKind::Folder);
    EXPECT_EQ(moduleFolderOf(nullptr), program);
}

TEST(ModulePaths, EnvironmentNamesTheFolderAndItIsCreated)
{
    TempDir dir;
    const std::string wanted = dir.file("conf/deep");
    EnvVar env("KORVELIN_CONFIG_DIR", (wanted + "//").c_str());
    EXPECT_EQ(settingsFolder(), wanted);
    EXPECT_EQ(pathKind(wanted), PathKind::Folder);
    EnvVar work("KORVELIN_WORK_DIR", dir.path().c_str());
    EXPECT_EQ(workFolder("/nonexistent"), dir.path());
}

TEST(ModulePaths, WritablePreferredFolderIsUsed)
{
    TempDir dir;
    EnvVar env("KORVELIN_WORK_DIR", nullptr);
    EXPECT_EQ(workFolder(dir.path()), dir.path());
    EnvVar empty("KORVELIN_CONFIG_DIR", "");
    EXPECT_EQ(settingsFolder(), programFolder());  // the build folder is writable
}

TEST(ModulePaths, FallsBackToTheXdgFolders)
{
    TempDir dir;
    EnvVar env("KORVELIN_WORK_DIR", nullptr);
    {
        EnvVar xdg("XDG_CACHE_HOME", dir.file("cache").c_str());
        EXPECT_EQ(workFolder(dir.file("missing")), dir.file("cache/korvelin"));
        EXPECT_EQ(pathKind(dir.file("cache/korvelin")), PathKind::Folder);
    }
    EnvVar home("HOME", dir.path().c_str());
    {
        EnvVar xdg("XDG_CACHE_HOME", "relative/ignored");
        EXPECT_EQ(workFolder(dir.file("missing")), dir.file(".cache/korvelin"));
    }
    EnvVar xdg("XDG_CONFIG_HOME", nullptr);
    EXPECT_EQ(chooseFolder("KORVELIN_NO_SUCH_VAR", "", "XDG_CONFIG_HOME", ".config"),
              dir.file(".config/korvelin"));
    EXPECT_EQ(pathKind(dir.file(".config/korvelin")), PathKind::Folder);
}
