#pragma once

#include "platform/FontAnswerCache.h"

#include <string>

namespace pq {

// Answers font questions by asking fontconfig (its current configuration, started on first use).
class CFontconfigSource final : public CFontAnswerSource {
public:
    [[nodiscard]] std::vector<std::string> ListOutlineFamilies() override;
    [[nodiscard]] std::optional<CFontAnswer> MatchFamily(const std::string& family, int weight,
                                                         bool italic) override;
    // The configuration files fontconfig read and the folders holding them (a file added to conf.d
    // changes its folder), the font folders it scanned (configured ones even when missing, and every
    // folder below them), and the user's configuration places, which may not exist yet.
    [[nodiscard]] std::vector<std::string> Dependencies() override;
};

// What fontconfig's answers depend on besides files: its version, the variables that choose its
// configuration and the user's folders, the languages it prefers faces for, and the machine (a home
// folder shared between machines must not carry one machine's answers to another).
[[nodiscard]] std::string FontconfigSetting();

// The file the answers are kept in: "fonts.cache" in the program's cache folder.
[[nodiscard]] std::string FontAnswerCacheFile();

} // namespace pq
