#include "formats/dbf.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstring>
#include <ctime>
#include <random>

#include "formats/error.h"
#include "tests/support/dbf_bytes.h"
#include "tests/support/files.h"

namespace formats {
namespace {

using namespace std::string_literals;
using namespace testing_support;
using testing_support::readBytes;
using testing_support::TempDir;
using testing_support::writeBytes;

AnsiString ansi(const char* utf8) {
    return AnsiString::fromUtf8(utf8);
}

TEST(Dbf, WritesTheLevel7LayoutByteForByte) {
    TempDir dir;
    const auto path = dir / "T.DBF";
    auto t = DbfTable::create(path, {FieldDef::text("NOMBRE", 6), FieldDef::boolean("ACTIVO"),
                                     FieldDef::integer("CUENTA"), FieldDef::floating("HORAS")});
    RecNo a = t.append();
    t.setText(a, "NOMBRE", ansi("Núñez Álvarez"));  // cut to 6 characters
    t.setBoolean(a, "ACTIVO", true);
    t.setInteger(a, "CUENTA", -42);
    t.setNumber(a, "HORAS", -3.25);
    RecNo b = t.append();
    t.setText(b, "NOMBRE", ansi("ab"));
    t.setBoolean(b, "ACTIVO", false);
    t.append();  // never written: every field blank
    t.close();

    const std::string bytes = readBytes(path);
    const std::size_t headerLength = 68 + 48 * 4 + 1, recordLength = 1 + 6 + 1 + 11 + 20;
    ASSERT_EQ(bytes.size(), headerLength + 3 * recordLength + 1);
    EXPECT_EQ(bytes[0], 0x04);
    const std::time_t now = std::time(nullptr);
    const std::tm* today = std::localtime(&now);
    EXPECT_EQ(static_cast<unsigned char>(bytes[1]), today->tm_year);
    EXPECT_EQ(bytes[2], today->tm_mon + 1);
    EXPECT_EQ(bytes[3], today->tm_mday);
    EXPECT_EQ(bytes.substr(4, 4), le32(3));
    EXPECT_EQ(bytes.substr(8, 2), le16(headerLength));
    EXPECT_EQ(bytes.substr(10, 2), le16(recordLength));
    EXPECT_EQ(bytes.substr(12, 17), std::string(17, '\0'));
    EXPECT_EQ(static_cast<unsigned char>(bytes[29]), 0x57);
    EXPECT_EQ(bytes.substr(30, 2), std::string(2, '\0'));
    EXPECT_EQ(bytes.substr(32, 32), "DBWINUS0" + std::string(24, '\0'));
    EXPECT_EQ(bytes.substr(64, 4), std::string(4, '\0'));
    const std::vector<RawField> expected = {
        {"NOMBRE", 'C', 6}, {"ACTIVO", 'L', 1}, {"CUENTA", 'N', 11, 0}, {"HORAS", 'N', 20, 4}};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const std::string d = bytes.substr(68 + 48 * i, 48);
        EXPECT_EQ(d.substr(0, 32), expected[i].name + std::string(32 - expected[i].name.size(), '\0'));
        EXPECT_EQ(d[32], expected[i].type);
        EXPECT_EQ(d[33], expected[i].length);
        EXPECT_EQ(d[34], expected[i].decimals);
        EXPECT_EQ(d.substr(35), std::string(13, '\0'));
    }
    EXPECT_EQ(bytes[headerLength - 1], 0x0D);
    const std::string records = bytes.substr(headerLength, 3 * recordLength);
    EXPECT_EQ(records.substr(0, recordLength),
              " N\xFA\xF1"
              "ez T        -42             -3.2500");
    EXPECT_EQ(records.substr(recordLength, recordLength), " ab    F" + std::string(31, ' '));
    EXPECT_EQ(records.substr(2 * recordLength), std::string(recordLength, ' '));
    EXPECT_EQ(bytes.back(), 0x1A);

    auto back = DbfTable::open(path);
    EXPECT_TRUE(back.isLevel7());
    EXPECT_EQ(back.rowCount(), 3u);
    EXPECT_EQ(back.text(1, "NOMBRE").toUtf8(), "Núñez");
    EXPECT_TRUE(back.boolean(1, "ACTIVO"));
    EXPECT_EQ(back.integer(1, "CUENTA"), -42);
    EXPECT_DOUBLE_EQ(back.number(1, "HORAS"), -3.25);
    EXPECT_FALSE(back.boolean(2, "ACTIVO"));
    EXPECT_EQ(back.text(3, "NOMBRE"), AnsiString());
    EXPECT_EQ(back.integer(3, "CUENTA"), 0);
    EXPECT_FALSE(back.boolean(3, "ACTIVO"));
    back.close();
}

TEST(Dbf, ReadsALevel7TableWithBinaryAndUnknownFields) {
    TempDir dir;
    const auto path = dir / "SOLUC.DBF";
    const std::vector<RawField> fields = {
        {"ID", 'I', 4}, {"AUTO", '+', 4}, {"NOM", 'C', 5}, {"X", 'X', 3}, {"VAL", 'O', 8}};
    double minusHalf = -0.5;
    std::string doubleBytes(8, '\0');
    std::memcpy(doubleBytes.data(), &minusHalf, 8);  // little-endian IEEE, as the machine stores it
    writeBytes(path, buildLevel7(fields, {
                                             " \x80\x00\x00\x01\x80\x00\x00\x07"
                                             "abc  xyz"s +
                                                 doubleBytes,
                                             "*\x80\x00\x00\x02\x80\x00\x00\x08"
                                             "gone zzz"s +
                                                 doubleBytes,
                                             " \x7F\xFF\xFF\xFF\x80\x00\x00\x09"
                                             "d    qqq"s +
                                                 doubleBytes,
                                         }));
    const std::string before = readBytes(path);
    auto t = DbfTable::open(path);
    std::vector<RecNo> rows(t.rows().begin(), t.rows().end());
    EXPECT_EQ(rows, (std::vector<RecNo>{1, 3}));
    EXPECT_EQ(t.integer(1, "ID"), 1);
    EXPECT_EQ(t.integer(3, "ID"), -1);
    EXPECT_EQ(t.integer(1, "AUTO"), 7);
    EXPECT_EQ(t.text(3, "ID").bytes(), "-1");
    EXPECT_EQ(t.text(1, "NOM").bytes(), "abc");
    EXPECT_DOUBLE_EQ(t.number(1, "VAL"), -0.5);
    EXPECT_EQ(t.raw(1, "X"), "xyz");
    try {
        (void)t.text(1, "X");
        FAIL() << "an unknown field type read as text";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("SOLUC.DBF"), std::string::npos);
        EXPECT_NE(std::string(e.what()).find("campo X"), std::string::npos);
    }
    EXPECT_EQ(t.locate({{"ID", AnsiString(std::string("-1"))}}), 3u);
    EXPECT_EQ(t.locate({{"ID", AnsiString(std::string("2"))}}), std::nullopt);  // deleted
    t.close();
    EXPECT_EQ(readBytes(path), before);  // only read: never rewritten
}

// A level-7 binary number never written is all zero bytes: no value, read as empty text and as 0 (a
// solution row whose DIA or HORA is blank is then not placed), unlike a written 0.
TEST(Dbf, Level7BinaryNumbersOfZeroBytesHoldNoValue) {
    TempDir dir;
    writeBytes(dir / "SOLUC.DBF", buildLevel7({{"DIA", 'I', 4}, {"HORA", '+', 4}, {"VAL", 'O', 8}},
                                              {" "s + std::string(16, '\0'),
                                               " \x80\x00\x00\x00\x80\x00\x00\x00"s + std::string(8, '\0')}));
    auto t = DbfTable::open(dir / "SOLUC.DBF");
    for (const char* field : {"DIA", "HORA", "VAL"}) {
        EXPECT_EQ(t.text(1, field).bytes(), "") << field;
        EXPECT_EQ(t.number(1, field), 0) << field;
    }
    EXPECT_EQ(t.text(2, "DIA").bytes(), "0");
    EXPECT_EQ(t.integer(2, "HORA"), 0);
    EXPECT_EQ(t.locate({{"DIA", AnsiString()}}), 1u);
    t.close();
}

TEST(Dbf, ReadsIntegersLittleEndianBelowLevel7AndRefusesItsMissingTypes) {
    TempDir dir;
    const auto path = dir / "OLD.DBF";
    writeBytes(path, buildLevel3({{"N", 'I', 4}, {"A", '+', 4}, {"O", 'O', 8}},
                                 {" \x05\x00\x00\x00\x01\x00\x00\x00"s + std::string(8, '\0'),
                                  " \xFF\xFF\xFF\xFF\x01\x00\x00\x00"s + std::string(8, '\0')}));
    auto t = DbfTable::open(path);
    EXPECT_FALSE(t.isLevel7());
    EXPECT_EQ(t.integer(1, "N"), 5);
    EXPECT_EQ(t.integer(2, "N"), -1);
    EXPECT_THROW((void)t.number(1, "A"), Error);
    EXPECT_THROW((void)t.number(1, "O"), Error);
    EXPECT_THROW(t.append(), Error);  // only level-7 tables change
    EXPECT_THROW(t.setInteger(1, "N", 3), Error);
    t.close();
}

TEST(Dbf, ReadsADbase3TableFromAnIndependentWriterInCodePage850) {
    TempDir dir;
    const auto path = dir / "soluc.dbf";
    const std::string script =
        "import dbf, sys\n"
        "t = dbf.Table(sys.argv[1], 'COD C(10); NUM N(5,0); PRICE N(8,2); FLAG L; WHEN D', dbf_type='db3',"
        " codepage='cp850')\n"
        "t.open(dbf.READ_WRITE)\n"
        "t.append(('\\u00c1\\u00d1EZ', 3, -1.5, True, dbf.Date(2024, 1, 2)))\n"
        "t.append(('gone', 1, 0, False, None))\n"
        "t.append(('\\u00c7\\u00fc', None, None, None, None))\n"
        "dbf.delete(t[1])\n"
        "t.close()\n";
    writeBytes(dir / "make.py", script);
    ASSERT_EQ(
        testing_support::runCommand("/usr/bin/python3 " + (dir / "make.py").string() + " " + path.string()),
        0);
    const std::string before = readBytes(path);
    ASSERT_EQ(before[29], 0x02);  // the writer marked code page 850

    auto t = DbfTable::open(path);
    EXPECT_EQ(t.rowCount(), 2u);
    EXPECT_EQ(t.text(1, "COD").toUtf8(), "ÁÑEZ");
    EXPECT_EQ(t.integer(1, "NUM"), 3);
    EXPECT_DOUBLE_EQ(t.number(1, "PRICE"), -1.5);
    EXPECT_TRUE(t.boolean(1, "FLAG"));
    EXPECT_EQ(t.text(1, "WHEN").bytes(), "20240102");
    EXPECT_TRUE(t.isDeleted(2));
    EXPECT_EQ(t.nextRow(1), 3u);
    EXPECT_EQ(t.text(3, "COD").toUtf8(), "Çü");
    EXPECT_EQ(t.number(3, "NUM"), 0);  // empty number
    EXPECT_FALSE(t.boolean(3, "FLAG"));
    EXPECT_EQ(t.locate({{"COD", ansi("ÁÑEZ")}}), 1u);
    EXPECT_EQ(t.locate({{"cod", ansi("áñez")}}), std::nullopt);  // field names in any case, values exact
    t.close();
    EXPECT_EQ(readBytes(path), before);
}

TEST(Dbf, HonoursTheLevel7DriverName) {
    TempDir dir;
    const auto path = dir / "DOS.DBF";
    writeBytes(path, buildLevel7({{"C", 'C', 3}}, {" \xA5\x82 "}, 0x00, "DB850ES0"));
    auto t = DbfTable::open(path);
    EXPECT_EQ(t.text(1, "C").toUtf8(), "Ñé");
    t.setText(1, "C", ansi("ñÑ"));  // written back in the table's own code page
    EXPECT_EQ(t.raw(1, "C"), "\xA4\xA5 ");
    t.close();
}

TEST(Dbf, MalformedFilesAreErrorsNamingTheFile) {
    const std::string good = buildLevel3({{"A", 'C', 2}}, {" ab", " cd"});
    struct Case {
        const char* what;
        std::string bytes;
        const char* says;
    };
    std::string longHeader = good;
    longHeader.replace(8, 2, le16(4000));
    std::string badRecordLength = good;
    badRecordLength.replace(10, 2, le16(9));
    std::string tooManyRecords = good;
    tooManyRecords.replace(4, 4, le32(3));
    std::string hugeCount = good;
    hugeCount.replace(4, 4, le32(0xFFFFFFFF));
    std::string noTerminator = good;
    noTerminator[32 + 32] = 'A';
    std::string badFixed = buildLevel3({{"I", 'I', 3}}, {" abc"});
    const Case cases[] = {
        {"empty", "", "truncada"},
        {"truncated header", good.substr(0, 20), "truncada"},
        {"level-7 header cut", std::string("\x04") + std::string(40, '\0'), "truncada"},
        {"not a dBase file", "<?xml version=\"1.0\"?><centro/>" + std::string(40, ' '),
         "no es una tabla dBase"},
        {"header longer than file", longHeader, "cabecera"},
        {"record length", badRecordLength, "longitud de registro"},
        {"record count past the end", tooManyRecords, "número de registros"},
        {"huge record count", hugeCount, "número de registros"},
        {"descriptors without terminator", noTerminator, "terminador"},
        {"fixed-length field", badFixed, "longitud no válida"},
        {"no fields", buildLevel3({}, {}), "no tiene campos"},
    };
    TempDir dir;
    for (const Case& c : cases) {
        const auto path = dir / "BAD.DBF";
        writeBytes(path, c.bytes);
        try {
            DbfTable::open(path);
            ADD_FAILURE() << c.what << ": opened";
        } catch (const Error& e) {
            const std::string message = e.what();
            EXPECT_NE(message.find(path.string()), std::string::npos) << c.what << ": " << message;
            EXPECT_NE(message.find(c.says), std::string::npos) << c.what << ": " << message;
        }
        // The failed open released the table.
        writeBytes(path, good);
        DbfTable::open(path).close();
    }
}

// Whatever a damaged file holds, opening and reading it ends in a table or in an Error, never in a crash
// (run under the sanitizers by `make sanitize`).
TEST(Dbf, DamagedFilesNeverCrashTheReader) {
    const std::string good = buildLevel7({{"C", 'C', 3}, {"I", 'I', 4}, {"N", 'N', 5, 1}, {"O", 'O', 8}},
                                         {" abc\x80\0\0\x01  1.5"s + std::string(8, '\0')});
    TempDir dir;
    const auto path = dir / "F.DBF";
    std::mt19937 random(11);
    for (int round = 0; round < 2000; ++round) {
        std::string bytes = good;
        const int changes = 1 + static_cast<int>(random() % 4);
        for (int i = 0; i < changes; ++i) bytes[random() % bytes.size()] = static_cast<char>(random());
        if (random() % 4 == 0) bytes.resize(random() % bytes.size());
        writeBytes(path, bytes);
        try {
            auto t = DbfTable::open(path);
            for (RecNo r : t.rows()) {
                for (const FieldDef& f : t.fields()) {
                    try {
                        (void)t.text(r, f.name);
                        (void)t.number(r, f.name);
                    } catch (const Error&) {
                    }
                }
            }
            t.close();
        } catch (const Error&) {
        }
    }
}

TEST(Dbf, NumbersThatAreNotNumbersAreErrorsNamingTableRowAndField) {
    TempDir dir;
    const auto path = dir / "N.DBF";
    writeBytes(path, buildLevel7({{"HORA", 'C', 4}, {"DIA", 'N', 3}}, {" 3      ", " x1  2.5"}));
    auto t = DbfTable::open(path);
    EXPECT_EQ(t.integer(1, "HORA"), 3);  // a text field holding digits
    EXPECT_EQ(t.number(1, "DIA"), 0);    // blanks
    try {
        (void)t.number(2, "HORA");
        FAIL();
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("N.DBF\", registro 2, campo HORA"), std::string::npos)
            << e.what();
    }
    EXPECT_THROW((void)t.integer(2, "DIA"), Error);  // 2.5 is no whole number
    EXPECT_THROW((void)t.text(1, "NOPE"), Error);
    t.close();
}

TEST(Dbf, ATableIsOpenedExclusively) {
    TempDir dir;
    const auto path = dir / "E.DBF";
    writeBytes(path, buildLevel7({{"A", 'C', 1}}, {" a"}));
    {
        auto first = DbfTable::open(path);
        try {
            DbfTable::open(dir.path() / "." / "E.DBF");
            FAIL() << "second open";
        } catch (const Error& e) {
            EXPECT_NE(std::string(e.what()).find("ya está abierta"), std::string::npos);
        }
        // The operating-system lock keeps another process off the file.
        const int fd = ::open(path.c_str(), O_RDONLY);
        EXPECT_EQ(::flock(fd, LOCK_EX | LOCK_NB), -1);
        ::close(fd);
        first.close();
    }
    const int fd = ::open(path.c_str(), O_RDONLY);
    ASSERT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
    try {
        DbfTable::open(path);
        ADD_FAILURE() << "opened a table another process holds";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("otro programa"), std::string::npos);
    }
    ::close(fd);
    DbfTable::open(path).close();
}

TEST(Dbf, ChangesAreWrittenOnlyByCloseAndOnlyWhenThereAreAny) {
    TempDir dir;
    const auto path = dir / "W.DBF";
    writeBytes(path, buildLevel7({{"A", 'C', 2}}, {" aa", " bb"}));
    const std::string original = readBytes(path);
    {
        auto t = DbfTable::open(path);
        t.setText(1, "A", ansi("zz"));
        // Destroyed without close (as by an error): nothing is written.
    }
    EXPECT_EQ(readBytes(path), original);
    {
        auto t = DbfTable::open(path);
        t.remove(1);
        t.pack();
        t.close();
    }
    auto t = DbfTable::open(path);
    EXPECT_EQ(t.rowCount(), 1u);
    EXPECT_EQ(t.text(1, "A").bytes(), "bb");
    t.close();
    EXPECT_FALSE(std::filesystem::exists(path.string() + ".tmp-" + std::to_string(::getpid())));
}

TEST(Dbf, NumbersReadAsTextHaveNoFractionWhenWhole) {
    struct Case {
        double value;
        const char* text;
    };
    const Case cases[] = {{3, "3"},     {-1, "-1"},   {100000, "100000"},
                          {2.5, "2.5"}, {0.1, "0.1"}, {-0.5, "-0.5"}};
    for (const Case& c : cases) EXPECT_EQ(numberText(c.value), c.text) << c.value;
    TempDir dir;
    writeBytes(dir / "I.DBF", buildLevel7({{"N", 'I', 4}}, {" \x80\x01\x86\xA0"s}));  // 100000
    auto t = DbfTable::open(dir / "I.DBF");
    EXPECT_EQ(t.text(1, "N").bytes(), "100000");
    t.close();
}

TEST(Dbf, RowsAndRecordNumbersAcrossDeletesAndPack) {
    TempDir dir;
    auto t = DbfTable::create(dir / "R.DBF", {FieldDef::text("K", 3)});
    for (const char* k : {"a", "b", "c", "d"}) t.setText(t.append(), "K", AnsiString(std::string(k)));
    t.remove(2);
    t.remove(2);  // twice is once
    EXPECT_EQ(t.rowCount(), 3u);
    std::vector<std::string> seen;
    for (RecNo r : t.rows()) {
        seen.push_back(t.text(r, "K").bytes());
        if (r == 3) t.remove(r);  // deleting the current row while walking
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"a", "c", "d"}));
    EXPECT_EQ(t.locate({{"K", AnsiString(std::string("d"))}}), 4u);  // record numbers stay until the pack
    t.pack();
    EXPECT_EQ(t.locate({{"K", AnsiString(std::string("d"))}}), 2u);
    EXPECT_EQ(t.rowCount(), 2u);
    t.close();
}

TEST(Dbf, LookupsCompareAsStoredValuesReadBack) {
    TempDir dir;
    auto t = DbfTable::create(dir / "L.DBF", {FieldDef::text("COD", 10), FieldDef::text("G", 4)});
    auto add = [&](const char* cod, const char* g) {
        const RecNo r = t.append();
        t.setText(r, "COD", ansi(cod));
        t.setText(r, "G", ansi(g));
        return r;
    };
    add("", "x");
    const RecNo longCode = add("ABCDEFGHIJKLM", "x");  // stored as its first 10 characters
    const RecNo lower = add("abc", "y");
    const RecNo upper = add("ABC", "y");
    add("ABC", "y");
    struct Case {
        const char* cod;
        const char* g;
        std::optional<RecNo> found;
    };
    const Case cases[] = {
        {"ABCDEFGHIJKLM", "x", longCode},  // a longer value is cut like the stored one
        {"ABCDEFGHIJ", "x", longCode},
        {"ABCDEFGHIJX", "x", longCode},
        {"ABC", "y", upper},  // the first of two equal rows, letter case counts
        {"abc", "y", lower},
        {"ABC ", "y", upper},  // trailing blanks are padding
        {" ABC", "y", std::nullopt},
        {"Abc", "y", std::nullopt},
        {"", "x", 1u},  // the engine itself treats an empty value as any other
        {"ABC", "x", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(t.locate({{"COD", ansi(c.cod)}, {"G", ansi(c.g)}}), c.found) << c.cod;
    t.close();
}

// The indexes must give the row a scan would give, whatever happened to the table before.
TEST(Dbf, IndexedLookupsAgreeWithAScanThroughEveryChange) {
    TempDir dir;
    auto t = DbfTable::create(dir / "I.DBF",
                              {FieldDef::text("A", 2), FieldDef::text("B", 2), FieldDef::integer("N")});
    std::mt19937 random(7);
    auto pick = [&](int n) { return static_cast<int>(random() % n); };
    auto value = [&] { return AnsiString(std::string(1, static_cast<char>('a' + pick(4)))); };
    auto scan = [&](const AnsiString& a, const AnsiString& b) -> std::optional<RecNo> {
        for (RecNo r : t.rows()) {
            if (t.text(r, "A") == a && t.text(r, "B") == b) return r;
        }
        return std::nullopt;
    };
    for (int step = 0; step < 3000; ++step) {
        const int action = pick(10);
        if (action < 3 || t.rowCount() == 0) {
            const RecNo r = t.append();
            t.setText(r, "A", value());
            if (pick(2)) t.setText(r, "B", value());
        } else if (action < 6) {
            const RecNo r = t.nextRow(pick(static_cast<int>(t.recordCount())));
            if (r) t.setText(r, pick(2) ? "A" : "B", value());
        } else if (action < 8) {
            const RecNo r = t.nextRow(pick(static_cast<int>(t.recordCount())));
            if (r) t.remove(r);
        } else if (action == 8 && pick(20) == 0) {
            t.pack();
        } else {
            const RecNo r = t.firstRow();
            if (r) t.setInteger(r, "N", pick(100));
        }
        const AnsiString a = value(), b = pick(3) ? value() : AnsiString();
        ASSERT_EQ(t.locate({{"A", a}, {"B", b}}), scan(a, b)) << "step " << step;
        if (step % 7 == 0) {
            ASSERT_EQ(t.locate({{"B", b}, {"A", a}}), scan(a, b));
        }
    }
    t.close();
}

}  // namespace
}  // namespace formats
