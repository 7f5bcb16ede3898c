#include "shell/ini_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "formats/error.h"
#include "tests/support/files.h"

namespace shell {
namespace {

using namespace testing_support;

TEST(IniFile, WritesTheValueTheWayThePlatformsWriterDoes) {
    struct Case {
        const char* name;
        std::string before;  // nullopt-like: empty means no file
        std::string after;
    };
    const Case cases[] = {
        {"new file", "", "[Transformadores]\r\nTransformado=1\r\n"},
        {"value replaced in place, the rest kept",
         "; "
         "comentario\r\n[General]\r\nRuta=C:\\TTEMP\r\n\r\n[Transformadores]\r\nTransformado=0\r\nOtra=5\r\n",
         "; "
         "comentario\r\n[General]\r\nRuta=C:\\TTEMP\r\n\r\n[Transformadores]\r\nTransformado=1\r\nOtra="
         "5\r\n"},
        {"section and key in another letter case", "[TRANSFORMADORES]\r\n transformado = -1\r\n",
         "[TRANSFORMADORES]\r\nTransformado=1\r\n"},
        {"key added at the end of its section", "[Transformadores]\nOtra=5\n\n[Final]\nX=1\n",
         "[Transformadores]\nOtra=5\nTransformado=1\n\n[Final]\nX=1\n"},
        {"section added at the end", "[General]\nRuta=x",
         "[General]\nRuta=x\n[Transformadores]\nTransformado=1\n"},
        {"the key of another section is not touched", "[Otra]\nTransformado=7\n",
         "[Otra]\nTransformado=7\n[Transformadores]\nTransformado=1\n"},
    };
    for (const Case& c : cases) {
        TempDir dir;
        const auto ini = dir / "Tavelino.ini";
        if (!c.before.empty()) writeBytes(ini, c.before);
        writeIniValue(ini, "Transformadores", "Transformado", "1");
        EXPECT_EQ(readBytes(ini), c.after) << c.name;
    }
}

TEST(IniFile, AFileThatCannotBeWrittenIsAnErrorNamingIt) {
    TempDir dir;
    const auto ini = dir / "missing-folder" / "Tavelino.ini";
    try {
        writeIniValue(ini, "Transformadores", "Transformado", "0");
        FAIL();
    } catch (const formats::Error& e) {
        EXPECT_NE(std::string(e.what()).find(ini.string()), std::string::npos) << e.what();
    }
}

}  // namespace
}  // namespace shell
