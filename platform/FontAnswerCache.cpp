#include "platform/FontAnswerCache.h"

#include "platform/RegularFile.h"

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

namespace pq {

namespace {

// A change this close to the moment the source read its configuration may have landed just after the
// reading; stamps taken then could describe files newer than the answers, so such a run writes nothing.
// Two seconds also covers file systems that keep whole seconds only.
constexpr int64_t kRacyChangeNs = 2'000'000'000;

int64_t NowNs() {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

// Writes the whole file under a temporary name beside it and renames it into place, so that readers see
// the old file or the new one, never a part. Nothing is flushed to the disk: a file cut short by a power
// failure fails its hash and is rebuilt, which is all a cache needs.
bool WriteCacheFile(const std::string& path, std::span<const uint8_t> bytes) {
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
    const std::string temporary = path + "." + std::to_string(::getpid()) + ".tmp";
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return false;
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    const bool written = ::close(fd) == 0 && done == bytes.size();
    if (!written || ::rename(temporary.c_str(), path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

} // namespace

CFontAnswerCache::CFontAnswerCache(std::string path, std::string settingText, CFontAnswerSource& answerSource)
    : file(std::move(path)), setting(std::move(settingText)), source(answerSource) {}

void CFontAnswerCache::LoadOnce() {
    if (loaded)
        return;
    loaded = true;
    std::vector<uint8_t> bytes;
    std::string message;
    CFontAnswers stored;
    if (ReadRegularFile(file, kMaxFontAnswerFileBytes, bytes, message) && DecodeFontAnswers(bytes, stored) &&
        stored.setting == setting && !stored.stamps.empty() && StampsCurrent(stored.stamps)) {
        answers = std::move(stored);
        loadedValid = true;
        return;
    }
    answers = CFontAnswers{};
    answers.setting = setting;
}

void CFontAnswerCache::NoteSourceAsked() {
    if (!askedSource)
        firstAskedNs = NowNs();
    askedSource = true;
}

const std::vector<std::string>& CFontAnswerCache::OutlineFamilies() {
    LoadOnce();
    if (!answers.families) {
        NoteSourceAsked();
        answers.families = source.ListOutlineFamilies();
        Save();
    }
    return *answers.families;
}

std::optional<CFontAnswer> CFontAnswerCache::MatchFamily(const std::string& family, int weight, bool italic) {
    LoadOnce();
    CFontQuestion question(family, weight, italic);
    if (const auto it = answers.matches.find(question); it != answers.matches.end())
        return it->second;
    NoteSourceAsked();
    std::optional<CFontAnswer> answer = source.MatchFamily(family, weight, italic);
    answers.matches.emplace(std::move(question), answer);
    Save();
    return answer;
}

void CFontAnswerCache::Save() {
    if (!loadedValid && !stamped) {
        // Fresh answers: record what they were built from. The source read its configuration once, when
        // first asked, so stamps taken after that first answer serve every later answer of the run.
        stamped = true;
        std::vector<std::string> paths = source.Dependencies();
        std::sort(paths.begin(), paths.end());
        paths.erase(std::unique(paths.begin(), paths.end()), paths.end());
        answers.stamps.clear();
        for (const std::string& path : paths)
            answers.stamps.push_back(StampPath(path));
        const bool racy = std::any_of(answers.stamps.begin(), answers.stamps.end(), [&](const CPathStamp& s) {
            return s.exists && s.modifiedNs >= firstAskedNs - kRacyChangeNs;
        });
        // Without anything to check, a file could never be found stale.
        unsaveable = racy || answers.stamps.empty();
    }
    if (unsaveable)
        return;
    const std::vector<uint8_t> bytes = EncodeFontAnswers(answers);
    if (bytes.empty() || bytes.size() > kMaxFontAnswerFileBytes)
        return;
    // A cache that cannot be written (read-only home, full disk) only costs the next run its start-up.
    (void)WriteCacheFile(file, bytes);
}

} // namespace pq
