#include "RegHive.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <sstream>

#include "DateTimePatterns.h"
#include "HiveWriter.h"
#include "TimeZoneRule.h"

namespace {

const std::string kHotfix = "Microsoft\\Windows NT\\CurrentVersion\\Hotfix";
const std::string kFile = "E:\\WINNT\\system32\\config\\software";

std::string HotfixId(int i) {
    char id[16];
    std::snprintf(id, sizeof id, "Q%d", 100000 + 7 * i);
    return id;
}

std::string Pattern(std::size_t size) {
    std::string data(size, '\0');
    for (std::size_t i = 0; i < size; ++i) data[i] = static_cast<char>(i * 7 % 251);
    return data;
}

// A SOFTWARE hive as the scenarios need it: a Hotfix key that needs an index
// root, names beyond Latin-1, a value in big-data segments, inline data.
void FillSoftware(THiveBuilder& b) {
    for (int i = 0; i < 1200; ++i) b.SetValue(kHotfix + "\\" + HotfixId(i), "Installed", kRegDword, RegDwordData(1));
    b.SetValue(kHotfix + "\\Q100007", "Fix Description", kRegSz, RegSzData("Fix number Ω"));
    b.SetValue(kHotfix + "\\Q100007", "Valid", kRegDword, RegDwordData(0xFFFFFFFE));
    b.SetValue("Microsoft\\Windows NT\\CurrentVersion", "CSDVersion", kRegSz, RegSzData("Service Pack 6"));
    b.SetValue("Übung\\Ключ 😀", "", kRegExpandSz, RegSzData("%SystemRoot%\\ü"));
    b.SetValue("Big", "Blob", kRegBinary, Pattern(40000));
    b.SetValue("Big", "Three", kRegBinary, "abc");
    b.SetValue("Big", "Empty", kRegBinary, "");
    b.SetValue("Big", "Multi", kRegMultiSz, RegMultiSzData({"a", "bc"}));
    for (std::uint32_t i = 0; i < 40; ++i) b.SetValue("Many", "Value " + std::to_string(i), kRegDword, RegDwordData(i));
}

std::string Hex(const std::string& bytes) {
    static const char kDigits[] = "0123456789abcdef";
    std::string text;
    for (unsigned char b : bytes) text += {kDigits[b >> 4], kDigits[b & 15]};
    return text;
}

// Data as the text export shows it: strings up to their null, numbers in decimal, the rest in hex.
// That export reads the data of 1 to 3 bytes held in a value's own cell from the wrong end of
// its field, so those are compared with the other independent reader instead.
const std::string kShortData = "<1-3 bytes>";

std::string DataText(std::uint32_t type, const std::string& data, bool maskShort) {
    if (maskShort && type != kRegDword && !data.empty() && data.size() < 4) return kShortData;
    if (type == kRegSz || type == kRegExpandSz) {
        std::string text = Utf16LeToUtf8(data);
        return text.substr(0, text.find('\0'));
    }
    if (type == kRegDword && data.size() == 4) {
        const auto* b = reinterpret_cast<const unsigned char*>(data.data());
        return std::to_string(b[0] | b[1] << 8 | b[2] << 16 | std::uint32_t(b[3]) << 24);
    }
    return Hex(data);
}

// Every key and value of the hive as lines "path|name|type|size|data", in list order.
void Walk(const THiveFile& hive, THiveFile::TKey key, const std::string& path, std::string& out,
          bool maskShort = false) {
    out += path + "\n";
    for (const std::string& name : hive.ValueNames(key)) {
        THiveValue value = hive.ReadValue(key, name).value();
        out += path + "|" + name + "|" + std::to_string(value.Type) + "|" + std::to_string(value.Data.size()) +
               "|" + DataText(value.Type, value.Data, maskShort) + "\n";
    }
    for (THiveFile::TKey subkey : hive.Subkeys(key)) Walk(hive, subkey, path + "\\" + hive.KeyName(subkey), out, maskShort);
}

std::string Patched(std::string bytes, std::uint32_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
    return bytes;
}

std::string DamageMessage(const std::string& bytes) {
    try {
        THiveFile hive(bytes, kFile);
        std::string all;
        Walk(hive, hive.RootKey(), "", all);
    } catch (const EHiveError& e) {
        return e.what();
    }
    return "no error";
}

#ifndef _WIN32
std::string Output(const std::string& command) {
    std::FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return command + " did not start";
    std::string text;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, n);
    pclose(pipe);
    return text;
}

// The same lines as Walk, from the text export of libregf's regfexport.
std::string ExportedLines(const std::string& fileName) {
    std::string text = Output("regfexport '" + fileName + "'");
    static const std::pair<const char*, std::uint32_t> kTypes[] = {
        {"(REG_SZ)", kRegSz}, {"(REG_EXPAND_SZ)", kRegExpandSz}, {"(REG_BINARY)", kRegBinary},
        {"(REG_DWORD_LITTLE_ENDIAN)", kRegDword}, {"(REG_MULTI_SZ)", kRegMultiSz}};
    std::istringstream in(text);
    std::string line, out, path, name;
    std::uint32_t type = 0;
    while (std::getline(in, line)) {
        if (line.rfind("Key path: ", 0) == 0) {
            path = line.substr(10);
            out += path + "\n";
        } else if (line.rfind("Value: ", 0) == 0) {
            name = line.substr(line.find(' ', 7) + 1);
            if (name == "(default)") name.clear();
        } else if (line.rfind("Type: ", 0) == 0) {
            type = 0xFFFF;
            for (const auto& [word, number] : kTypes)
                if (line.find(word) != std::string::npos) type = number;
        } else if (line.rfind("Data size: ", 0) == 0) {
            std::size_t size = std::stoul(line.substr(11));
            std::string data;
            if (size > 0 && std::getline(in, line) && line.size() > 6) data = line.substr(6);
            if (size > 0 && size < 4 && type != kRegDword) {
                data = kShortData;
            } else if (size > 0 && (type == kRegBinary || type == kRegMultiSz)) {
                // Hex dump lines: "00000000: 61 62 ...  ..." with a gap after the eighth byte.
                std::string bytes;
                while (bytes.size() < size && std::getline(in, line))
                    for (std::size_t i = 0; i < 16 && bytes.size() < size; ++i)
                        bytes += static_cast<char>(std::stoi(line.substr(10 + 3 * i + (i >= 8), 2), nullptr, 16));
                data = Hex(bytes);
            }
            out += path + "|" + name + "|" + std::to_string(type) + "|" + std::to_string(size) + "|" + data + "\n";
        }
    }
    return out;
}

TEST(HiveFile, ReadsEveryKeyAndValueAsTheIndependentReaderDoes) {
    THiveBuilder b;
    FillSoftware(b);
    std::string file = (std::filesystem::temp_directory_path() / ("RegHive_test_" + std::to_string(getpid()) + ".hiv")).string();
    THiveBuildOptions options[3];
    options[1].MinorVersion = 5;
    options[1].ListKind = THiveListKind::Lh;
    options[2].ListKind = THiveListKind::Li;
    options[2].Utf16Names = true;
    for (const THiveBuildOptions& o : options) {
        b.WriteFile(file, o);
        std::string exported = ExportedLines(file);
        // What the independent reader finds is what was written.
        EXPECT_NE(exported.find("ROOT\\" + kHotfix + "\\Q100007|Fix Description|1|26|Fix number Ω\n"), std::string::npos);
        EXPECT_NE(exported.find("ROOT\\" + kHotfix + "\\Q100007|Valid|4|4|4294967294\n"), std::string::npos);
        EXPECT_NE(exported.find("ROOT\\Übung\\Ключ 😀||2|30|%SystemRoot%\\ü\n"), std::string::npos);
        EXPECT_NE(exported.find("ROOT\\Big|Blob|3|40000|" + Hex(Pattern(40000)) + "\n"), std::string::npos);
        EXPECT_NE(exported.find("ROOT\\Big|Three|3|3|" + kShortData + "\nROOT\\Big|Empty|3|0|\n"), std::string::npos);
        EXPECT_NE(Output("reglookup -H -p /Big '" + file + "'").find("/Big/Three,BINARY,abc,"), std::string::npos);
        EXPECT_NE(exported.find("\nROOT\\" + kHotfix + "\nROOT\\" + kHotfix + "\\Q100000\n"), std::string::npos);
        // And the reader under test reads it all the same way, in the same order.
        std::string bytes = b.Build(o);
        THiveFile hive(bytes, file);
        std::string walked;
        Walk(hive, hive.RootKey(), hive.KeyName(hive.RootKey()), walked, true);
        EXPECT_EQ(walked, exported);
    }
    std::filesystem::remove(file);
}
#endif

TEST(HiveFile, FindsKeysAndValuesWithoutRegardToCase) {
    THiveBuilder b;
    FillSoftware(b);
    THiveLayout layout;
    THiveBuildOptions o;
    o.PrimarySequence = 8;
    o.SecondarySequence = 7;
    std::string bytes = b.Build(o, &layout);
    ASSERT_EQ(bytes.substr(layout.SubkeyLists[kHotfix] + 4, 2), "ri");
    THiveFile hive(bytes, kFile);
    EXPECT_TRUE(hive.SequenceNumbersDiffer());
    EXPECT_FALSE(THiveFile(b.Build(), kFile).SequenceNumbersDiffer());

    auto hotfix = hive.OpenKey("\\MICROSOFT\\windows nt\\CurrentVersion\\hotfix");
    ASSERT_TRUE(hotfix);
    std::vector<std::string> names = hive.SubkeyNames(*hotfix);
    ASSERT_EQ(names.size(), 1200u);
    EXPECT_EQ(names[0] + names[1] + names[1199], "Q100000Q100007Q108393");
    auto fix = hive.OpenKey(kHotfix + "\\q100007");
    ASSERT_TRUE(fix);
    EXPECT_EQ(*fix + 0x1000, layout.Keys[kHotfix + "\\Q100007"]);
    EXPECT_EQ(hive.KeyName(*fix), "Q100007");
    EXPECT_EQ(hive.ValueNames(*fix), (std::vector<std::string>{"Installed", "Fix Description", "Valid"}));
    EXPECT_EQ(hive.ReadValue(*fix, "fix DESCRIPTION")->Data, RegSzData("Fix number Ω"));
    EXPECT_FALSE(hive.ReadValue(*fix, "Fix"));
    EXPECT_FALSE(hive.OpenKey(kHotfix + "\\Q100008"));
    EXPECT_FALSE(hive.OpenKey(kHotfix + "\\Q100007\\Sub"));

    auto unicode = hive.OpenKey("übung\\КЛЮЧ 😀");
    ASSERT_TRUE(unicode);
    EXPECT_EQ(hive.ReadValue(*unicode, "")->Type, kRegExpandSz);
    auto many = hive.OpenKey("many");
    EXPECT_EQ(hive.ReadValue(*many, "VALUE 39")->Data, RegDwordData(39));
    EXPECT_FALSE(hive.ReadValue(*many, "Value 40"));
    auto big = hive.ReadValue(*hive.OpenKey("BIG"), "blob");
    EXPECT_EQ(big->Data, Pattern(40000));
    EXPECT_EQ(Utf16LeToUtf8(std::string("A\0\x3D\xD8\x00\xD8!", 7)), "A\xEF\xBF\xBD\xEF\xBF\xBD");
}

TEST(HiveFile, DamagedFilesGiveOneMessageNamingTheFileAndPlace) {
    THiveBuilder b;
    b.SetValue("Microsoft\\Hotfix\\Q1", "Installed", kRegDword, RegDwordData(1));
    for (int i = 0; i < 600; ++i) b.Key("Index\\" + HotfixId(i));
    THiveLayout layout;
    const std::string good = b.Build({}, &layout);
    std::uint32_t root = layout.Keys[""], hotfixKey = layout.Keys["Microsoft\\Hotfix"], indexKey = layout.Keys["Index"];
    std::uint32_t leaf = layout.SubkeyLists["Microsoft\\Hotfix"], index = layout.SubkeyLists["Index"];
    const std::string notHive = kFile + " is not a registry file";
    auto at = [](std::uint32_t offset) {
        char hex[16];
        std::snprintf(hex, sizeof hex, "%X", offset);
        return kFile + " is damaged at offset 0x" + hex;
    };
    std::string renamed = good;
    renamed[layout.Keys["Microsoft\\Hotfix\\Q1"] + 4] = 'k';
    std::string badSum = good;
    badSum[0x40] ^= 1;
    const std::pair<std::string, std::string> cases[] = {
        {good.substr(0, 100), notHive},
        {"regX" + good.substr(4), notHive},
        {good.substr(0, 0x1800), at(0x1000)},
        {good.substr(0, 0x1000), at(0x1000)},
        {badSum, at(0)},
        {renamed, at(layout.Keys["Microsoft\\Hotfix\\Q1"])},
        {Patched(good, layout.Keys["Microsoft\\Hotfix\\Q1"] + 4 + 0x28, 0x7FFFFFF0), at(layout.Keys["Microsoft\\Hotfix\\Q1"])},
        {Patched(good, leaf + 8, leaf - 0x1000), at(leaf)},
        {Patched(good, index + 8, index - 0x1000), at(index)},
        {Patched(good, leaf + 8, root - 0x1000), at(root)},
        {Patched(good, hotfixKey + 4 + 0x14, 2), at(hotfixKey)},
        // More subkeys than the file has room for: refused before any list is read.
        {Patched(Patched(good, indexKey + 4 + 0x14, 0xFFFFFFFF), index + 8, index - 0x1000), at(indexKey)},
    };
    EXPECT_EQ(DamageMessage(good), "no error");
    for (const auto& [bytes, message] : cases) EXPECT_EQ(DamageMessage(bytes), message);
}

std::string SystemTime(std::uint16_t year, std::uint16_t month, std::uint16_t dayOfWeek, std::uint16_t day,
                       std::uint16_t hour) {
    std::string bytes;
    for (std::uint16_t w : {year, month, dayOfWeek, day, hour, std::uint16_t(0), std::uint16_t(0), std::uint16_t(0)})
        bytes += {static_cast<char>(w & 0xFF), static_cast<char>(w >> 8)};
    return bytes;
}

void SetZone(THiveBuilder& b, const std::string& controlSet, std::int32_t bias, const std::string& daylightStart,
             const std::string& standardStart) {
    std::string key = controlSet + "\\Control\\TimeZoneInformation";
    b.SetValue(key, "Bias", kRegDword, RegDwordData(static_cast<std::uint32_t>(bias)));
    b.SetValue(key, "StandardBias", kRegDword, RegDwordData(0));
    b.SetValue(key, "DaylightBias", kRegDword, RegDwordData(static_cast<std::uint32_t>(-60)));
    b.SetValue(key, "StandardStart", kRegBinary, standardStart);
    b.SetValue(key, "DaylightStart", kRegBinary, daylightStart);
}

// The FILETIME of a UTC time given as text, counted without the code under test.
std::uint64_t Utc(const char* text) {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    std::sscanf(text, "%d-%d-%d %d:%d:%d", &year, &month, &day, &hour, &minute, &second);
    const std::chrono::sys_days date{std::chrono::year(year) / month / day};
    return static_cast<std::uint64_t>(date.time_since_epoch().count() * 86400LL + hour * 3600 + minute * 60 + second +
                                      11644473600LL) * 10000000;
}

std::string LocalText(const char* utc, const TTimeZoneRule& rule) {
    const double local = UtcFileTimeToZoneDateTime(Utc(utc), rule);
    return local == 0 ? "none" : FormatDateTime("yyyy-mm-dd hh:nn:ss", local, TFormatSettings{});
}

TEST(TimeZoneRule, LocalTimeOnBothSidesOfTheDaylightSavingChanges) {
    THiveBuilder b;
    b.SetValue("Select", "Current", kRegDword, RegDwordData(2));
    // Central Europe in the current set, US Eastern in the other.
    SetZone(b, "ControlSet002", -60, SystemTime(0, 3, 0, 5, 2), SystemTime(0, 10, 0, 5, 3));
    SetZone(b, "ControlSet001", 300, SystemTime(0, 3, 0, 2, 2), SystemTime(0, 11, 0, 1, 2));
    auto europe = ReadTimeZoneRule(THiveFile(b.Build(), "system"));
    ASSERT_TRUE(europe);
    EXPECT_EQ(europe->Bias, -60);
    EXPECT_EQ(europe->StandardDate.Month, 10);
    EXPECT_EQ(europe->StandardDate.Day, 5);
    b.SetValue("Select", "Current", kRegDword, RegDwordData(1));
    auto eastern = ReadTimeZoneRule(THiveFile(b.Build(), "system"));
    ASSERT_TRUE(eastern);
    // Daylight time from 7 April 2024 to 6 October 2024 only.
    const TTimeZoneRule once{-60, 0, -60, {2024, 10, 0, 6, 3, 0, 0, 0}, {2024, 4, 0, 7, 2, 0, 0, 0}};

    const struct { const TTimeZoneRule& Rule; const char* Utc; const char* Local; } cases[] = {
        {*europe, "2026-03-29 00:59:59", "2026-03-29 01:59:58"},
        {*europe, "2026-03-29 01:00:00", "2026-03-29 03:00:00"},
        {*europe, "2026-10-25 00:59:59", "2026-10-25 02:59:58"},
        {*europe, "2026-10-25 01:00:00", "2026-10-25 02:00:00"},
        {*europe, "2026-07-01 12:00:03", "2026-07-01 14:00:02"},
        {*europe, "1979-12-31 23:00:00", "1980-01-01 00:00:00"},
        // The last Sunday of March 2024 is the month's last day.
        {*europe, "2024-03-30 12:00:00", "2024-03-30 13:00:00"},
        {*europe, "2024-03-31 00:59:59", "2024-03-31 01:59:58"},
        {*europe, "2024-03-31 01:00:00", "2024-03-31 03:00:00"},
        {*eastern, "1979-12-31 23:00:00", "none"},
        {*eastern, "2026-03-08 06:59:59", "2026-03-08 01:59:58"},
        {*eastern, "2026-03-08 07:00:00", "2026-03-08 03:00:00"},
        {*eastern, "2026-11-01 05:59:59", "2026-11-01 01:59:58"},
        {*eastern, "2026-11-01 06:00:00", "2026-11-01 01:00:00"},
        {once, "2024-04-07 00:59:59", "2024-04-07 01:59:58"},
        {once, "2024-04-07 01:00:00", "2024-04-07 03:00:00"},
        {once, "2025-07-01 12:00:00", "2025-07-01 13:00:00"},
    };
    for (const auto& c : cases) EXPECT_EQ(LocalText(c.Utc, c.Rule), c.Local) << c.Utc << " UTC";

    b.SetValue("Select", "Current", kRegDword, RegDwordData(3));
    EXPECT_FALSE(ReadTimeZoneRule(THiveFile(b.Build(), "system")));
    b.SetValue("Select", "Current", kRegDword, RegDwordData(2));
    b.SetValue("ControlSet002\\Control\\TimeZoneInformation", "StandardStart", kRegBinary, "short");
    EXPECT_FALSE(ReadTimeZoneRule(THiveFile(b.Build(), "system")));
}

}  // namespace
