#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace pq {

// One instruction of a plotter file: its two-letter mnemonic in upper case and the bytes of its
// parameters (without the terminating ";").
struct CHpglInstruction {
    std::array<char, 2> mnemonic{};
    std::span<const uint8_t> parameters;

    [[nodiscard]] bool Is(std::string_view name) const {
        return name.size() == 2 && mnemonic[0] == name[0] && mnemonic[1] == name[1];
    }
};

// Splits the bytes of a plotter file into instructions. Device-control escapes (ESC . x ... :), PCL
// mode switches (ESC % ... B) and printer job language lines are passed over. An ordinary parameter
// list ends at ";", at the next letter or at ESC; labels run to the label terminator (ETX unless DT
// changed it), encoded polylines (PE) and comments to their own ends. Every byte is looked at a bounded
// number of times, so the cost is linear in the size of the file.
//
// Reference: HP PCL 5 Printer Language Technical Reference Manual, Part II (HP-GL/2), and the HP-GL
// chapters of the HP 7475A and 7550A plotter manuals.
class CHpglTokenizer {
public:
    static constexpr uint8_t kEtx = 3;

    explicit CHpglTokenizer(std::span<const uint8_t> data) : bytes(data) {}

    // The next instruction; false at the end of the file.
    bool Next(CHpglInstruction& instruction);

    [[nodiscard]] std::size_t Position() const { return pos; }

private:
    void SkipEscape();
    void SkipJobLanguageLine();
    std::span<const uint8_t> OrdinaryParameters();
    std::span<const uint8_t> ParametersUpTo(uint8_t terminator);
    std::span<const uint8_t> LabelDefinition();
    std::span<const uint8_t> QuotedComment();

    std::span<const uint8_t> bytes;
    std::size_t pos = 0;
    uint8_t labelTerminator = kEtx;
};

// Reads the numbers of an ordinary parameter list. Separators (anything that cannot start a number) are
// skipped; a number is a sign, digit or "." followed by digits and "."; one that does not parse
// ("-", ".") is skipped. Values are held within +-1e15 so that no later product overflows.
class CHpglParameters {
public:
    static constexpr double kLargest = 1e15;

    explicit CHpglParameters(std::span<const uint8_t> data) : bytes(data) {}

    // The next number; false when the list holds no more.
    bool Next(double& value);
    // The next two numbers; false (and nothing consumed beyond the list) when fewer than two remain.
    bool NextPair(double& x, double& y);
    // Reads up to out.size() numbers; returns how many were read.
    std::size_t ReadUpTo(std::span<double> out);

private:
    std::span<const uint8_t> bytes;
    std::size_t pos = 0;
};

} // namespace pq
