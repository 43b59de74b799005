// Reading a packed show's password settings back with the runner's settings pass.
#include "tools/pack/PasswordReadBack.h"

#include <memory>
#include <stdexcept>

#include "package/SessionExtractor.h"
#include "runner/SettingsPass.h"
#include "settings/IniFile.h"
#include "settings/RegistryStore.h"
#include "tools/pack/HostFiles.h"

namespace quindle::pack {

namespace {

// The host's files, with the written show standing in for the runner's own executable.
class TShowAsOwnExecutable : public IArchiveFileSystem {
public:
    TShowAsOwnExecutable(IArchiveFileSystem& host, const std::string& show) : host_(host), show_(show) {}
    std::unique_ptr<IArchiveReader> OpenArchive(const std::string& path) override { return host_.OpenArchive(path); }
    std::unique_ptr<IArchiveWriter> CreateExclusive(const std::string& path) override {
        return host_.CreateExclusive(path);
    }
    bool RemoveFile(const std::string& path) override { return host_.RemoveFile(path); }
    std::string OwnExecutablePath() override { return show_; }
    bool IsLeadByte(unsigned char c) const override { return host_.IsLeadByte(c); }

private:
    IArchiveFileSystem& host_;
    std::string show_;
};

}  // namespace

void CheckPasswordReadsBack(const std::string& path, uint32_t hash) {
    const std::unique_ptr<IArchiveFileSystem> host = MakeHostFileSystem();
    const std::unique_ptr<IRunDirFiles> runDirFiles = MakeHostRunDirFiles();
    TShowAsOwnExecutable files(*host, path);
    TSessionExtractor extractor(files);
    TMemRegistryStore noChoices;
    TSettingsSources sources{
        extractor,     *runDirFiles,
        noChoices,     TemporaryFolder(),
        std::string(), [](const std::string& ini) { return std::make_unique<TMemIniFile>(HostPath(ini)); }};
    TProjectSettings settings;
    LoadProjectSettings(sources, settings);
    if (!settings.AsksPassword || settings.PasswordHash != hash)
        throw std::runtime_error("the packed show does not read back its password (the runner would read Password as " +
                                 std::string(settings.AsksPassword ? "on" : "off") + " and AlignmentX as " +
                                 std::to_string(settings.PasswordHash) + ", not " + std::to_string(hash) +
                                 "): nothing written");
}

}  // namespace quindle::pack
