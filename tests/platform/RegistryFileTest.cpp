// The hive's REGEDIT4 text: what we write, what we read from a file edited
// by hand, and which files we refuse to read (and so never write over).

#include "platform/core/RegistryFile.h"
#include "tests/platform/CaseLabels.h"

#include <gtest/gtest.h>

namespace kw::test {
namespace {

std::string Bytes(std::initializer_list<unsigned char> bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = text.find("\r\n", start);
        lines.push_back(text.substr(start, end - start));
        start = end == std::string::npos ? text.size() : end + 2;
    }
    return lines;
}

TEST(RegistryFileSerialize, WritesEachTypeInItsRegeditForm)
{
    Hive hive;
    hive.CreateKey("HKEY_LOCAL_MACHINE\\SOFTWARE\\Kestrelwork");
    HiveKey& key = *hive.FindKey("HKEY_LOCAL_MACHINE\\SOFTWARE\\Kestrelwork");
    key.values = {
        {"", REG_SZ_TYPE, std::string("Kestrelwork\0", 12)},
        {"Path \"x\"", REG_SZ_TYPE, std::string("C:\\gp2x\\\"bin\"\0", 14)},
        {"Empty", REG_SZ_TYPE, std::string(1, '\0')},
        {"NoNul", REG_SZ_TYPE, "ab"},
        {"TwoNuls", REG_SZ_TYPE, std::string("a\0\0", 3)},
        {"Lines", REG_SZ_TYPE, std::string("a\r\nb\0", 5)},
        {"Expand", REG_EXPAND_SZ_TYPE, std::string("%A%\0", 4)},
        {"Number", REG_DWORD_TYPE, Bytes({0x2a, 0x01, 0x00, 0x80})},
        {"ShortNumber", REG_DWORD_TYPE, Bytes({0x2a})},
        {"Raw", REG_BINARY_TYPE, Bytes({0x00, 0xff})},
        {"List", REG_MULTI_SZ_TYPE, std::string("a\0\0", 3)},
        {"Quad", 11, Bytes({1, 0, 0, 0, 0, 0, 0, 0})},
        {"NoData", REG_NONE_TYPE, ""},
    };
    EXPECT_EQ(RegistryFile::Serialize(hive),
              "REGEDIT4\r\n"
              "\r\n"
              "[HKEY_LOCAL_MACHINE\\SOFTWARE]\r\n"
              "\r\n"
              "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Kestrelwork]\r\n"
              "@=\"Kestrelwork\"\r\n"
              "\"Path \\\"x\\\"\"=\"C:\\\\gp2x\\\\\\\"bin\\\"\"\r\n"
              "\"Empty\"=\"\"\r\n"
              "\"NoNul\"=hex(1):61,62\r\n"
              "\"TwoNuls\"=hex(1):61,00,00\r\n"
              "\"Lines\"=hex(1):61,0d,0a,62,00\r\n"
              "\"Expand\"=hex(2):25,41,25,00\r\n"
              "\"Number\"=dword:8000012a\r\n"
              "\"ShortNumber\"=hex(4):2a\r\n"
              "\"Raw\"=hex:00,ff\r\n"
              "\"List\"=hex(7):61,00,00\r\n"
              "\"Quad\"=hex(b):01,00,00,00,00,00,00,00\r\n"
              "\"NoData\"=hex(0):\r\n"
              "\r\n");
}

TEST(RegistryFileSerialize, WrapsLongDataWithinEightyColumns)
{
    Hive hive;
    hive.keys.push_back({"HKEY_LOCAL_MACHINE\\SOFTWARE", {{"Long", REG_BINARY_TYPE, std::string(300, '\x5a')}}});
    const auto lines = Lines(RegistryFile::Serialize(hive));
    ASSERT_GT(lines.size(), 6u);
    EXPECT_EQ(lines[3].substr(0, 14), "\"Long\"=hex:5a,");
    for (std::size_t i = 3; i + 2 < lines.size(); ++i) {
        EXPECT_LE(lines[i].size(), 80u) << lines[i];
        EXPECT_GE(lines[i].size(), 76u) << lines[i];
        EXPECT_EQ(lines[i].back(), '\\');
        EXPECT_EQ(lines[i + 1].substr(0, 3), "  5");
    }
    EXPECT_EQ(RegistryFile::Parse(RegistryFile::Serialize(hive)), hive);
}

TEST(RegistryFileParse, ReadsWhatSerializeWrote)
{
    Hive hive;
    hive.CreateKey("HKEY_LOCAL_MACHINE\\SOFTWARE\\Kestrelwork\\Empty");
    hive.FindKey("HKEY_LOCAL_MACHINE\\SOFTWARE\\Kestrelwork")->values = {
        {"", REG_SZ_TYPE, std::string("Kestrelwork\0", 12)},
        {"\\\"", REG_SZ_TYPE, std::string("\\\"\0", 3)},
        {"Lines", REG_SZ_TYPE, std::string("a\r\nb\0", 5)},
        {"Utf8AndNot", REG_SZ_TYPE, "\xc3\xa9\xff\xfe\x80"},
        {"Number", REG_DWORD_TYPE, Bytes({0xff, 0xff, 0xff, 0xff})},
        {"Big", 0xffffffffu, std::string(200, '\0')},
    };
    EXPECT_EQ(RegistryFile::Parse(RegistryFile::Serialize(hive)), hive);
}

TEST(RegistryFileParse, ReadsAFileEditedByHand)
{
    const std::string file =
        "REGEDIT4\n"
        "; the toolchain, set up by hand\n"
        "\n"
        "[hkey_local_machine\\Software\\kestrelWork]\n"
        "  \"PCCompiler\" = \"C:\\\\MinGW\\\\bin\"  \n"
        "\"PCInclude\"=hex(2):25,49,4e,\\\n"
        "    43,25,\\\n"
        "\t00\n"
        "\"Count\"=DWORD:2A\n"
        "\n"
        "\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\KESTRELWORK]\r\n"
        "\"pccompiler\"=\"D:\\\\gcc\"\r\n"
        "@=\"Kestrelwork\"\n";
    const auto hive = RegistryFile::Parse(file);
    ASSERT_TRUE(hive);
    Hive expected;
    expected.keys = {
        {"hkey_local_machine\\Software", {}},
        {"hkey_local_machine\\Software\\kestrelWork",
         {{"PCCompiler", REG_SZ_TYPE, std::string("D:\\gcc\0", 7)},
          {"PCInclude", REG_EXPAND_SZ_TYPE, std::string("%INC%\0", 6)},
          {"Count", REG_DWORD_TYPE, Bytes({0x2a, 0, 0, 0})},
          {"", REG_SZ_TYPE, std::string("Kestrelwork\0", 12)}}},
    };
    EXPECT_EQ(*hive, expected);
}

struct Unparseable {
    const char* label;
    std::string file;
};

class RegistryFileRefuses : public testing::TestWithParam<Unparseable> {};

TEST_P(RegistryFileRefuses, TheFile)
{
    EXPECT_FALSE(RegistryFile::Parse(GetParam().file));
}

const std::string Header = "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE]\r\n";

INSTANTIATE_TEST_SUITE_P(
    Files, RegistryFileRefuses,
    testing::Values(Unparseable{"Empty", ""},
                    Unparseable{"NoSignature", "[HKEY_LOCAL_MACHINE\\SOFTWARE]\r\n\"a\"=\"b\"\r\n"},
                    Unparseable{"Version5", "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE]\r\n"},
                    Unparseable{"ValueBeforeAnyHeader", "REGEDIT4\r\n\"a\"=\"b\"\r\n"},
                    Unparseable{"StrayText", Header + "PCCompiler=C:\\gcc\r\n"},
                    Unparseable{"BadHexByte", Header + "\"a\"=hex:0g\r\n"},
                    Unparseable{"OneDigitByte", Header + "\"a\"=hex:00,1\r\n"},
                    Unparseable{"MissingByte", Header + "\"a\"=hex:00,,01\r\n"},
                    Unparseable{"BadType", Header + "\"a\"=hex(zz):00\r\n"},
                    Unparseable{"LongDword", Header + "\"a\"=dword:000000001\r\n"},
                    Unparseable{"UnknownEscape", Header + "\"a\"=\"C:\\gcc\"\r\n"},
                    Unparseable{"UnclosedString", Header + "\"a\"=\"text\r\n"},
                    Unparseable{"TextAfterString", Header + "\"a\"=\"text\" x\r\n"},
                    Unparseable{"ContinuedPastTheEnd", Header + "\"a\"=hex:00,\\\r\n"},
                    Unparseable{"DeletedValue", Header + "\"a\"=-\r\n"},
                    Unparseable{"DeletedKey", "REGEDIT4\r\n\r\n[-HKEY_LOCAL_MACHINE\\SOFTWARE]\r\n"},
                    Unparseable{"EmptyKeyName", "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\\\SOFTWARE]\r\n"},
                    Unparseable{"UnclosedHeader", "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\r\n"}),
    CaseLabel());

TEST(RegistryFileNames, CompareIgnoringAsciiCaseAndKeepTheFirstSpelling)
{
    HiveKey key{"HKEY_LOCAL_MACHINE\\SOFTWARE", {}};
    EXPECT_TRUE(key.SetValue("PCLib", REG_SZ_TYPE, "a"));
    EXPECT_TRUE(key.SetValue("pclib", REG_BINARY_TYPE, "b"));
    EXPECT_FALSE(key.SetValue("PCLIB", REG_BINARY_TYPE, "b"));
    EXPECT_EQ(key.values, (std::vector<HiveValue>{{"PCLib", REG_BINARY_TYPE, "b"}}));
    // Only ASCII letters fold: other bytes are compared as they are.
    EXPECT_FALSE(EqualsIgnoringAsciiCase("\xc3\xa9", "\xc3\x89"));
}

} // namespace
} // namespace kw::test
