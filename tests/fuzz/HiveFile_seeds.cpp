// Writes the hive fuzzer's seed corpus into the directory given: small valid
// hives with every kind of list, name and value data.
#include <string>

#include "HiveWriter.h"

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    const std::string dir = argv[1];
    {
        THiveBuilder b;
        b.SetValue("Microsoft\\Windows NT\\CurrentVersion\\Hotfix\\Q123456", "Fix Description", kRegSz,
                   RegSzData("Printer fix"));
        b.SetValue("Microsoft\\Windows NT\\CurrentVersion\\Hotfix\\Q123456", "Installed", kRegDword, RegDwordData(1));
        b.SetValue("Microsoft\\Windows NT\\CurrentVersion", "CSDVersion", kRegSz, RegSzData("Service Pack 6"));
        b.SetValue("Microsoft\\Windows NT\\CurrentVersion", "", kRegBinary, "abc");
        b.WriteFile(dir + "/software-lf.hiv");
    }
    {
        THiveBuilder b;
        b.SetValue("Übung\\Ключ", "Größe", kRegMultiSz, RegMultiSzData({"a", "Ω"}));
        b.SetValue("Big", "Blob", kRegBinary, std::string(17000, 'b'));
        THiveBuildOptions o;
        o.MinorVersion = 5;
        o.ListKind = THiveListKind::Lh;
        o.Utf16Names = true;
        o.PrimarySequence = 3;
        b.WriteFile(dir + "/unicode-lh-bigdata.hiv", o);
    }
    {
        THiveBuilder b;
        for (int i = 0; i < 40; ++i) {
            b.SetValue("Hotfix\\Q" + std::to_string(100 + i), "Installed", kRegDword, RegDwordData(1));
            b.SetValue("Values", "Value " + std::to_string(i), kRegSz, RegSzData(std::to_string(i)));
        }
        THiveBuildOptions o;
        o.ListKind = THiveListKind::Li;
        o.LeafCapacity = 8;
        b.WriteFile(dir + "/index-root-li.hiv", o);
    }
    {
        THiveBuilder b;
        std::string zone = "ControlSet001\\Control\\TimeZoneInformation";
        std::string march("\0\0\3\0\0\0\5\0\2\0\0\0\0\0\0\0", 16), october("\0\0\12\0\0\0\5\0\3\0\0\0\0\0\0\0", 16);
        b.SetValue("Select", "Current", kRegDword, RegDwordData(1));
        b.SetValue(zone, "Bias", kRegDword, RegDwordData(0xFFFFFFC4));
        b.SetValue(zone, "StandardBias", kRegDword, RegDwordData(0));
        b.SetValue(zone, "DaylightBias", kRegDword, RegDwordData(0xFFFFFFC4));
        b.SetValue(zone, "DaylightStart", kRegBinary, march);
        b.SetValue(zone, "StandardStart", kRegBinary, october);
        b.WriteFile(dir + "/system-zone.hiv");
    }
    return 0;
}
