#include "native/PdfFontSubset.h"

#include <hb-subset.h>
#include <hb.h>

#include <dlfcn.h>

#include <cmath>
#include <memory>

namespace pq {

namespace {

// HarfBuzz's subsetter is loaded on the first subset, not linked: it brings HarfBuzz, GLib, PCRE2 and
// Graphite with it, which every start of the programs would otherwise load and relocate although only
// writing a PDF with text ever cuts a font.
struct CHarfBuzz {
    decltype(&hb_blob_create_from_file_or_fail) blob_create_from_file_or_fail = nullptr;
    decltype(&hb_blob_destroy) blob_destroy = nullptr;
    decltype(&hb_blob_get_data) blob_get_data = nullptr;
    decltype(&hb_blob_get_length) blob_get_length = nullptr;
    decltype(&hb_face_create) face_create = nullptr;
    decltype(&hb_face_destroy) face_destroy = nullptr;
    decltype(&hb_face_reference_table) face_reference_table = nullptr;
    decltype(&hb_face_reference_blob) face_reference_blob = nullptr;
    decltype(&hb_set_add) set_add = nullptr;
    decltype(&hb_subset_input_create_or_fail) subset_input_create_or_fail = nullptr;
    decltype(&hb_subset_input_destroy) subset_input_destroy = nullptr;
    decltype(&hb_subset_input_unicode_set) subset_input_unicode_set = nullptr;
    decltype(&hb_subset_input_set_flags) subset_input_set_flags = nullptr;
    decltype(&hb_subset_input_set) subset_input_set = nullptr;
    decltype(&hb_subset_or_fail) subset_or_fail = nullptr;
};

template <typename Function>
bool Bind(void* library, const char* name, Function& function) {
    function = reinterpret_cast<Function>(dlsym(library, name));
    return function != nullptr;
}

// The loaded library's functions, or nothing when it is missing or lacks one of them (fonts are then
// not embedded, as for a face that cannot be cut). Loaded once and kept for the life of the process.
const CHarfBuzz* HarfBuzz() {
    static const std::optional<CHarfBuzz> loaded = []() -> std::optional<CHarfBuzz> {
        void* library = dlopen("libharfbuzz-subset.so.0", RTLD_NOW | RTLD_LOCAL);
        if (library == nullptr)
            return std::nullopt;
        CHarfBuzz hb;
        const bool bound = Bind(library, "hb_blob_create_from_file_or_fail", hb.blob_create_from_file_or_fail) &&
                           Bind(library, "hb_blob_destroy", hb.blob_destroy) &&
                           Bind(library, "hb_blob_get_data", hb.blob_get_data) &&
                           Bind(library, "hb_blob_get_length", hb.blob_get_length) &&
                           Bind(library, "hb_face_create", hb.face_create) &&
                           Bind(library, "hb_face_destroy", hb.face_destroy) &&
                           Bind(library, "hb_face_reference_table", hb.face_reference_table) &&
                           Bind(library, "hb_face_reference_blob", hb.face_reference_blob) &&
                           Bind(library, "hb_set_add", hb.set_add) &&
                           Bind(library, "hb_subset_input_create_or_fail", hb.subset_input_create_or_fail) &&
                           Bind(library, "hb_subset_input_destroy", hb.subset_input_destroy) &&
                           Bind(library, "hb_subset_input_unicode_set", hb.subset_input_unicode_set) &&
                           Bind(library, "hb_subset_input_set_flags", hb.subset_input_set_flags) &&
                           Bind(library, "hb_subset_input_set", hb.subset_input_set) &&
                           Bind(library, "hb_subset_or_fail", hb.subset_or_fail);
        if (!bound) {
            dlclose(library);
            return std::nullopt;
        }
        return hb;
    }();
    return loaded ? &*loaded : nullptr;
}

struct BlobDeleter {
    void operator()(hb_blob_t* blob) const { HarfBuzz()->blob_destroy(blob); }
};
struct FaceDeleter {
    void operator()(hb_face_t* face) const { HarfBuzz()->face_destroy(face); }
};
struct InputDeleter {
    void operator()(hb_subset_input_t* input) const { HarfBuzz()->subset_input_destroy(input); }
};
using Blob = std::unique_ptr<hb_blob_t, BlobDeleter>;
using Face = std::unique_ptr<hb_face_t, FaceDeleter>;
using Input = std::unique_ptr<hb_subset_input_t, InputDeleter>;

// Big-endian fields of an sfnt table; 0 past its end.
int32_t ReadU16(const char* data, unsigned length, unsigned at) {
    if (at + 2 > length)
        return 0;
    return static_cast<uint8_t>(data[at]) << 8 | static_cast<uint8_t>(data[at + 1]);
}
int32_t ReadS16(const char* data, unsigned length, unsigned at) {
    const int32_t value = ReadU16(data, length, at);
    return value >= 0x8000 ? value - 0x10000 : value;
}

int32_t Thousandths(int32_t units, int32_t unitsPerEm) {
    return static_cast<int32_t>(std::lround(1000.0 * units / unitsPerEm));
}

void ReadMetrics(const CHarfBuzz& hb, hb_face_t* face, CFontSubset& subset) {
    const Blob head(hb.face_reference_table(face, HB_TAG('h', 'e', 'a', 'd')));
    unsigned length = 0;
    const char* data = hb.blob_get_data(head.get(), &length);
    int32_t upem = ReadU16(data, length, 18);
    if (upem <= 0)
        upem = 2048;
    for (int i = 0; i < 4; ++i)
        subset.bbox[i] = Thousandths(ReadS16(data, length, 36 + 2 * static_cast<unsigned>(i)), upem);

    const Blob os2(hb.face_reference_table(face, HB_TAG('O', 'S', '/', '2')));
    data = hb.blob_get_data(os2.get(), &length);
    if (length >= 78) {
        subset.ascent = Thousandths(ReadS16(data, length, 68), upem);
        subset.descent = Thousandths(ReadS16(data, length, 70), upem);
    }
    // The capital height travels in version 2 and later tables; older ones get the usual 70 %.
    subset.capHeight = ReadU16(data, length, 0) >= 2 && length >= 90
                           ? Thousandths(ReadS16(data, length, 88), upem)
                           : subset.ascent * 7 / 10;
    const Blob post(hb.face_reference_table(face, HB_TAG('p', 'o', 's', 't')));
    data = hb.blob_get_data(post.get(), &length);
    subset.fixedPitch = length >= 16 && (ReadU16(data, length, 12) != 0 || ReadU16(data, length, 14) != 0);
    if (subset.ascent == 0 && subset.descent == 0) {
        subset.ascent = subset.bbox[3];
        subset.descent = subset.bbox[1];
    }
}

} // namespace

std::optional<CFontSubset> SubsetTrueTypeFace(const std::string& path, int index,
                                              const std::set<char32_t>& characters) {
    const CHarfBuzz* loaded = HarfBuzz();
    if (loaded == nullptr)
        return std::nullopt;
    const CHarfBuzz& hb = *loaded;
    const Blob file(hb.blob_create_from_file_or_fail(path.c_str()));
    if (!file)
        return std::nullopt;
    const Face face(hb.face_create(file.get(), static_cast<unsigned>(index)));
    // Only TrueType outlines can travel as a TrueType font program.
    const Blob glyf(hb.face_reference_table(face.get(), HB_TAG('g', 'l', 'y', 'f')));
    if (hb.blob_get_length(glyf.get()) == 0)
        return std::nullopt;

    const Input input(hb.subset_input_create_or_fail());
    if (!input)
        return std::nullopt;
    hb_set_t* unicodes = hb.subset_input_unicode_set(input.get());
    for (char32_t c : characters)
        hb.set_add(unicodes, static_cast<hb_codepoint_t>(c));
    hb.subset_input_set_flags(input.get(), HB_SUBSET_FLAGS_NO_HINTING);
    hb_set_t* dropped = hb.subset_input_set(input.get(), HB_SUBSET_SETS_DROP_TABLE_TAG);
    for (hb_tag_t tag : {HB_TAG('G', 'S', 'U', 'B'), HB_TAG('G', 'P', 'O', 'S'), HB_TAG('G', 'D', 'E', 'F'),
                         HB_TAG('k', 'e', 'r', 'n'), HB_TAG('D', 'S', 'I', 'G'), HB_TAG('g', 'a', 's', 'p'),
                         HB_TAG('B', 'A', 'S', 'E'), HB_TAG('J', 'S', 'T', 'F'), HB_TAG('V', 'D', 'M', 'X'),
                         HB_TAG('h', 'd', 'm', 'x'), HB_TAG('L', 'T', 'S', 'H'), HB_TAG('P', 'C', 'L', 'T')})
        hb.set_add(dropped, tag);

    const Face cut(hb.subset_or_fail(face.get(), input.get()));
    if (!cut)
        return std::nullopt;
    const Blob bytes(hb.face_reference_blob(cut.get()));
    unsigned length = 0;
    const char* data = hb.blob_get_data(bytes.get(), &length);
    if (data == nullptr || length == 0)
        return std::nullopt;
    CFontSubset subset;
    subset.program.assign(reinterpret_cast<const uint8_t*>(data),
                          reinterpret_cast<const uint8_t*>(data) + length);
    ReadMetrics(hb, face.get(), subset);
    return subset;
}

std::string SubsetTag(const std::string& fontName, const std::set<char32_t>& characters) {
    // FNV-1a over the name and the characters.
    uint64_t hash = 14695981039346656037ull;
    auto mix = [&](uint64_t value) {
        hash ^= value;
        hash *= 1099511628211ull;
    };
    for (char c : fontName)
        mix(static_cast<uint8_t>(c));
    for (char32_t c : characters)
        mix(c);
    std::string tag;
    for (int i = 0; i < 6; ++i) {
        tag += static_cast<char>('A' + hash % 26);
        hash /= 26;
    }
    return tag;
}

} // namespace pq
