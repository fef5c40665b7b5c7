#include "HotfixCache.h"

#include <gtest/gtest.h>

#include "PrivateRegistry.h"

using namespace std::string_literals;

namespace {

const std::string kCachePath = "Software\\Brightwater\\Patchscope\\Cache";

RegValue Stored(const std::string& name) { return ReadRawValue(HKEY_LOCAL_MACHINE, kCachePath, name); }

}  // namespace

TEST(HotfixCache, ListingIsStoredByteForByteAndAnsweredAfterLoading)
{
    PrivateRegistry registry;
    {
        THotfixCache cache("Q246009");
        cache.SetFile("A.DLL", 5368709120LL, 36124.5, "4.0.1381.33", "-");
        cache.SetFile("readme.txt", 0, 0, "", "");
        // Another letter case updates the same entry, which takes the new case.
        cache.SetFile("a.dll", 5368709120LL, 36124.25, "4.0.1381.34", "Kernel");
        ASSERT_EQ(cache.Entries().size(), 2u);
        cache.Save();
    }
    const RegValue value = Stored("Q246009");
    EXPECT_EQ(value.Type, static_cast<DWORD>(REG_MULTI_SZ));
    EXPECT_EQ(value.Data, "a.dll\0" "36124.250000\0" "5368709120\0" "4.0.1381.34\0" "Kernel\0"
                          "readme.txt\0" "0.000000\0" "0\0" "-\0" "-\0" "\0"s);

    THotfixCache cache("Q246009");
    cache.Load();
    const auto file = cache.GetFile("A.Dll");
    ASSERT_TRUE(file);
    EXPECT_EQ(file->FileName, "A.Dll");
    EXPECT_EQ(file->FileSize, 5368709120LL);
    EXPECT_EQ(file->FileVersion, "4.0.1381.34");
    EXPECT_EQ(file->FileDescription, "Kernel");
    EXPECT_FALSE(cache.GetFile("other.dll"));
    // The same six-decimal text is the same time stamp; size and name must match.
    EXPECT_TRUE(cache.IsCurrent("A.DLL", 5368709120LL, 36124.25 + 1e-8));
    EXPECT_FALSE(cache.IsCurrent("A.DLL", 5368709120LL, 36124.25 + 2e-6));
    EXPECT_FALSE(cache.IsCurrent("A.DLL", 1073741824LL, 36124.25));
    EXPECT_FALSE(cache.IsCurrent("other.dll", 0, 0));

    // Entries that this listing did not touch are written back too.
    cache.SetFile("new.sys", 1, 1, "", "");
    cache.Save();
    EXPECT_EQ(Stored("Q246009").Data.find("readme.txt\0"s) != std::string::npos, true);
    EXPECT_NE(Stored("Q246009").Data.find("new.sys\0"s), std::string::npos);

    // The service pack has a value of its own; clearing empties the key of all.
    THotfixCache servicePack("");
    EXPECT_EQ(servicePack.CacheName(), "Service Pack");
    servicePack.SetFile("x.dll", 1, 1, "", "");
    servicePack.Save();
    EXPECT_TRUE(Stored("Service Pack").Exists);
    ClearHotfixCache();
    EXPECT_FALSE(Stored("Service Pack").Exists);
    EXPECT_FALSE(Stored("Q246009").Exists);
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kCachePath));
}

TEST(HotfixCache, DamagedValuesLoadWhatTheyCanAndLargeOnesLoadWhole)
{
    PrivateRegistry registry;
    CreateKey(HKEY_LOCAL_MACHINE, kCachePath);
    WriteSz(HKEY_LOCAL_MACHINE, kCachePath, "Q1", "not a listing");
    WriteDword(HKEY_LOCAL_MACHINE, kCachePath, "Q2", 7);
    WriteRawValue(HKEY_LOCAL_MACHINE, kCachePath, "Q3", REG_BINARY,
                  "a.dll\0yesterday\0big\0" "1.0\0" "A\0b.dll\0" "1.5\0"s);
    for (const char* name : {"Q1", "Q2", "Q3", "Q4"}) {
        THotfixCache cache(name);
        EXPECT_NO_THROW(cache.Load()) << name;
        EXPECT_EQ(cache.Entries().size(), name == "Q3"s ? 1u : 0u) << name;
    }
    THotfixCache damaged("Q3");
    damaged.Load();
    EXPECT_EQ(damaged.Entries()[0].FileDate, 0);
    EXPECT_EQ(damaged.Entries()[0].FileSize, 0);
    EXPECT_EQ(damaged.Entries()[0].FileVersion, "1.0");

    // Some megabytes: the last entry is there after loading.
    std::string data;
    const int files = 100000;
    for (int index = 0; index < files; ++index)
        data += "file" + std::to_string(index) + ".dll\0" "36124.500000\0"s +
                std::to_string(index) + "\0" "4.0.1381.33\0" "A description of some length\0"s;
    data += '\0';
    ASSERT_GT(data.size(), 6u << 20);
    WriteRawValue(HKEY_LOCAL_MACHINE, kCachePath, "Q5", REG_MULTI_SZ, data);
    THotfixCache large("Q5");
    large.Load();
    EXPECT_EQ(large.Entries().size(), static_cast<size_t>(files));
    EXPECT_TRUE(large.IsCurrent("FILE99999.DLL", 99999, 36124.5));

    // Without the key nothing is cleared and nothing goes wrong.
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kCachePath.c_str());
    EXPECT_NO_THROW(ClearHotfixCache());
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kCachePath));
}
