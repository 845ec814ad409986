#include "platform/FontAnswerFile.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <sys/stat.h>

namespace pq {

namespace {

// Layout: the magic, a version, the body, then an FNV-1a hash of everything before it. Integers are
// little-endian; strings and lists are a 32-bit count followed by their items.
constexpr char kMagic[8] = {'P', 'Q', 'F', 'O', 'N', 'T', 'S', '\n'};
constexpr uint32_t kVersion = 1;

class CWriter {
public:
    void Bytes(const void* data, std::size_t size) {
        const auto* p = static_cast<const uint8_t*>(data);
        out.insert(out.end(), p, p + size);
    }
    void U8(uint8_t v) { out.push_back(v); }
    void U32(uint32_t v) {
        for (int i = 0; i < 4; ++i)
            out.push_back(static_cast<uint8_t>(v >> (8 * i)));
    }
    void U64(uint64_t v) {
        for (int i = 0; i < 8; ++i)
            out.push_back(static_cast<uint8_t>(v >> (8 * i)));
    }
    void I32(int32_t v) { U32(static_cast<uint32_t>(v)); }
    void I64(int64_t v) { U64(static_cast<uint64_t>(v)); }
    void String(const std::string& s) {
        U32(static_cast<uint32_t>(s.size()));
        Bytes(s.data(), s.size());
    }
    void Strings(const std::vector<std::string>& list) {
        U32(static_cast<uint32_t>(list.size()));
        for (const std::string& s : list)
            String(s);
    }
    std::vector<uint8_t> out;
};

class CReader {
public:
    explicit CReader(std::span<const uint8_t> b) : bytes(b) {}

    bool U8(uint8_t& v) {
        if (bytes.size() - pos < 1)
            return false;
        v = bytes[pos++];
        return true;
    }
    bool Bool(bool& v) {
        uint8_t b = 0;
        if (!U8(b) || b > 1)
            return false;
        v = b == 1;
        return true;
    }
    bool U32(uint32_t& v) {
        if (bytes.size() - pos < 4)
            return false;
        v = 0;
        for (int i = 0; i < 4; ++i)
            v |= static_cast<uint32_t>(bytes[pos + i]) << (8 * i);
        pos += 4;
        return true;
    }
    bool U64(uint64_t& v) {
        if (bytes.size() - pos < 8)
            return false;
        v = 0;
        for (int i = 0; i < 8; ++i)
            v |= static_cast<uint64_t>(bytes[pos + i]) << (8 * i);
        pos += 8;
        return true;
    }
    bool I32(int32_t& v) {
        uint32_t u = 0;
        if (!U32(u))
            return false;
        v = static_cast<int32_t>(u);
        return true;
    }
    bool I64(int64_t& v) {
        uint64_t u = 0;
        if (!U64(u))
            return false;
        v = static_cast<int64_t>(u);
        return true;
    }
    bool Count(uint32_t& n) { return U32(n) && n <= kMaxFontAnswerCount; }
    bool String(std::string& s) {
        uint32_t n = 0;
        if (!U32(n) || n > kMaxFontAnswerString || bytes.size() - pos < n)
            return false;
        s.assign(reinterpret_cast<const char*>(bytes.data() + pos), n);
        pos += n;
        return true;
    }
    bool Strings(std::vector<std::string>& list) {
        uint32_t n = 0;
        if (!Count(n))
            return false;
        list.clear();
        for (uint32_t i = 0; i < n; ++i) {
            std::string s;
            if (!String(s))
                return false;
            list.push_back(std::move(s));
        }
        return true;
    }
    [[nodiscard]] bool AtEnd() const { return pos == bytes.size(); }

private:
    std::span<const uint8_t> bytes;
    std::size_t pos = 0;
};

void WriteAnswer(CWriter& w, const CFontAnswer& answer) {
    w.String(answer.file);
    w.I32(answer.index);
    w.Strings(answer.families);
    w.U64(std::bit_cast<uint64_t>(answer.weight));
    w.I32(answer.slant);
}

bool ReadAnswer(CReader& r, CFontAnswer& answer) {
    uint64_t weightBits = 0;
    if (!r.String(answer.file) || !r.I32(answer.index) || !r.Strings(answer.families) || !r.U64(weightBits) ||
        !r.I32(answer.slant))
        return false;
    answer.weight = std::bit_cast<double>(weightBits);
    // fontconfig's weights are finite; anything else is damage.
    return std::isfinite(answer.weight);
}

bool ReadBody(CReader& r, CFontAnswers& answers) {
    if (!r.String(answers.setting))
        return false;
    uint32_t stampCount = 0;
    if (!r.Count(stampCount))
        return false;
    for (uint32_t i = 0; i < stampCount; ++i) {
        CPathStamp stamp;
        if (!r.String(stamp.path) || !r.Bool(stamp.exists) || !r.I64(stamp.modifiedNs) || !r.I64(stamp.size))
            return false;
        answers.stamps.push_back(std::move(stamp));
    }
    bool hasFamilies = false;
    if (!r.Bool(hasFamilies))
        return false;
    if (hasFamilies && !r.Strings(answers.families.emplace()))
        return false;
    uint32_t matchCount = 0;
    if (!r.Count(matchCount))
        return false;
    for (uint32_t i = 0; i < matchCount; ++i) {
        std::string family;
        int32_t weight = 0;
        bool italic = false;
        bool answered = false;
        if (!r.String(family) || !r.I32(weight) || !r.Bool(italic) || !r.Bool(answered))
            return false;
        std::optional<CFontAnswer> answer;
        if (answered && !ReadAnswer(r, answer.emplace()))
            return false;
        // Questions are written in order, each once; anything else is not a file of this program.
        CFontQuestion question(std::move(family), weight, italic);
        if (!answers.matches.empty() && !(answers.matches.rbegin()->first < question))
            return false;
        answers.matches.emplace_hint(answers.matches.end(), std::move(question), std::move(answer));
    }
    return r.AtEnd();
}

bool FitsBounds(const CFontAnswers& answers) {
    const auto shortString = [](const std::string& s) { return s.size() <= kMaxFontAnswerString; };
    const auto shortStrings = [&](const std::vector<std::string>& list) {
        return list.size() <= kMaxFontAnswerCount && std::all_of(list.begin(), list.end(), shortString);
    };
    if (!shortString(answers.setting) || answers.stamps.size() > kMaxFontAnswerCount ||
        answers.matches.size() > kMaxFontAnswerCount ||
        (answers.families && !shortStrings(*answers.families)))
        return false;
    for (const CPathStamp& stamp : answers.stamps) {
        if (!shortString(stamp.path))
            return false;
    }
    for (const auto& [question, answer] : answers.matches) {
        if (!shortString(std::get<0>(question)) ||
            (answer && (!shortString(answer->file) || !shortStrings(answer->families))))
            return false;
    }
    return true;
}

} // namespace

std::vector<uint8_t> EncodeFontAnswers(const CFontAnswers& answers) {
    if (!FitsBounds(answers))
        return {};
    CWriter w;
    w.Bytes(kMagic, sizeof kMagic);
    w.U32(kVersion);
    w.String(answers.setting);
    w.U32(static_cast<uint32_t>(answers.stamps.size()));
    for (const CPathStamp& stamp : answers.stamps) {
        w.String(stamp.path);
        w.U8(stamp.exists ? 1 : 0);
        w.I64(stamp.modifiedNs);
        w.I64(stamp.size);
    }
    w.U8(answers.families ? 1 : 0);
    if (answers.families)
        w.Strings(*answers.families);
    w.U32(static_cast<uint32_t>(answers.matches.size()));
    for (const auto& [question, answer] : answers.matches) {
        w.String(std::get<0>(question));
        w.I32(std::get<1>(question));
        w.U8(std::get<2>(question) ? 1 : 0);
        w.U8(answer ? 1 : 0);
        if (answer)
            WriteAnswer(w, *answer);
    }
    w.U64(FontAnswerChecksum(w.out));
    return std::move(w.out);
}

bool DecodeFontAnswers(std::span<const uint8_t> bytes, CFontAnswers& answers) {
    constexpr std::size_t kHashBytes = 8;
    if (bytes.size() > kMaxFontAnswerFileBytes || bytes.size() < sizeof kMagic + 4 + kHashBytes ||
        std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0)
        return false;
    const std::span<const uint8_t> content = bytes.first(bytes.size() - kHashBytes);
    CReader hashReader(bytes.last(kHashBytes));
    uint64_t hash = 0;
    if (!hashReader.U64(hash) || hash != FontAnswerChecksum(content))
        return false;

    CReader r(content.subspan(sizeof kMagic));
    uint32_t version = 0;
    if (!r.U32(version) || version != kVersion)
        return false;
    CFontAnswers read;
    if (!ReadBody(r, read))
        return false;
    answers = std::move(read);
    return true;
}

uint64_t FontAnswerChecksum(std::span<const uint8_t> bytes) {
    uint64_t hash = 14695981039346656037ull;
    for (uint8_t b : bytes) {
        hash ^= b;
        hash *= 1099511628211ull;
    }
    return hash;
}

CPathStamp StampPath(const std::string& path) {
    CPathStamp stamp;
    stamp.path = path;
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0)
        return stamp;
    stamp.exists = true;
    stamp.modifiedNs = static_cast<int64_t>(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec;
    stamp.size = static_cast<int64_t>(status.st_size);
    return stamp;
}

bool StampsCurrent(std::span<const CPathStamp> stamps) {
    for (const CPathStamp& stamp : stamps) {
        if (StampPath(stamp.path) != stamp)
            return false;
    }
    return true;
}

} // namespace pq
