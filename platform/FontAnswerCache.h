#pragma once

#include "platform/FontAnswerFile.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pq {

// Where font answers come from when the cache has none (fontconfig in the program, a fake in tests).
class CFontAnswerSource {
public:
    virtual ~CFontAnswerSource() = default;
    // The family names of every installed outline font.
    [[nodiscard]] virtual std::vector<std::string> ListOutlineFamilies() = 0;
    // The face fontconfig picks for a family, weight and italic; none when it names no file.
    [[nodiscard]] virtual std::optional<CFontAnswer> MatchFamily(const std::string& family, int weight,
                                                                 bool italic) = 0;
    // Every file and folder the answers depend on. Asked only after a question has been answered, so
    // the source has read its configuration by then.
    [[nodiscard]] virtual std::vector<std::string> Dependencies() = 0;
};

// Keeps the source's answers in a file between runs, so that a run that asks only what an earlier run
// asked never starts the source (fontconfig's start-up, parsing its XML configuration, costs more than
// drawing a page of text).
//
// The file is used only when it was written under the same setting and every file and folder the answers
// depend on still has the modification time and size it had then. fontconfig itself trusts its own
// caches on exactly these grounds (a font folder's time changes whenever a font is added, removed or
// renamed in it), so answers kept this way are never older than the ones fontconfig would give. Anything
// else (no file, another setting, a changed dependency, a damaged file) starts from empty: the source is
// asked and the file rewritten after each new answer. Writing goes through a temporary file and a
// rename, so a reader never sees half a file, and a failed write costs nothing but the next run's
// start-up.
class CFontAnswerCache {
public:
    CFontAnswerCache(std::string file, std::string setting, CFontAnswerSource& source);

    [[nodiscard]] const std::vector<std::string>& OutlineFamilies();
    [[nodiscard]] std::optional<CFontAnswer> MatchFamily(const std::string& family, int weight, bool italic);

    // True when the answers given so far came from the file, without asking the source.
    [[nodiscard]] bool AnsweredFromFile() const { return loadedValid && !askedSource; }

private:
    void LoadOnce();
    void NoteSourceAsked();
    void Save();

    std::string file;
    std::string setting;
    CFontAnswerSource& source;
    CFontAnswers answers;
    bool loaded = false;
    bool loadedValid = false;
    bool askedSource = false;
    bool stamped = false;
    bool unsaveable = false;
    // When this process first asked the source, in file-system time (nanoseconds since the epoch).
    int64_t firstAskedNs = 0;
};

} // namespace pq
