#include "HotfixRecords.h"

#include "HotfixReader.h"

namespace {

class TRecordCollector : public THotfixSink {
public:
    TRecordCollector(const std::string& ignoreText, THotfixRecords& records)
        : FIgnoreText(ignoreText), FRecords(records)
    {
    }
    void HotfixFound(const std::string&, const std::string& id) override
    {
        FRecords.Recorded.push_back(id);
        // The reading procedure's own test: a part of an ignored identifier is ignored too.
        if (FIgnoreText.find(id) == std::string::npos)
            FRecords.Listed.push_back(id);
    }
    void HotfixRead(const THotfix&, bool) override {}

private:
    const std::string& FIgnoreText;
    THotfixRecords& FRecords;
};

}  // namespace

THotfixReadOptions HotfixRecordOptions()
{
    THotfixReadOptions options;
    options.WantDescription = false;
    options.WantUninstallDir = false;
    return options;
}

THotfixRecords ReadHotfixRecords(THotfixReader& reader)
{
    const TMachineSettings settings = reader.ReadMachineSettings();
    // Read once with nothing ignored; the collector applies the ignore text.
    TMachineSettings everything = settings;
    everything.IgnoreText.clear();
    THotfixRecords records;
    TRecordCollector collector(settings.IgnoreText, records);
    reader.ReadHotfixes(everything, collector);
    return records;
}
