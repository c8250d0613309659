// OBJ loader: fills an ObjMesh from Wavefront OBJ text in two passes over the
// whole file held in memory. Pass 1 counts "v", "vt", "vn" lines, triangles
// and material-library lines so that every array is sized once; pass 2
// stores the attributes, triangulates faces as fans around their first
// corner and builds de-duplicated interleaved vertices.
// Depends on: obj_mesh.h, obj_scanner.h (scanf-like conversions), stdio and
// POSIX fstat for reading the file.
//
// Token rules. The text is a stream of whitespace-separated tokens of at most
// 255 bytes, classified by their first character only:
//   "v"  (exactly one character) position: three numbers
//   "vn" (second character n)    normal: three numbers
//   "vt" (second character t)    texture coordinate: two numbers; a third
//                                value is then skipped with its line
//   "v?" anything else           nothing more is read
//   "f"  face; "m" material library (pass 1); "o" object start (pass 2,
//   followed by a one-word name); "u" material selection (pass 2).
//   Anything else skips the rest of its line (at most 255 bytes; a longer
//   line leaves its remainder to be read as further tokens).
// Numbers skip any whitespace, newlines included, so a face may continue on
// the next line when that line starts with a number.
//
// Faces. The first corner's form ("p", "p/t", "p/t/n", "p//n") decides how
// every further corner is read; the face ends at the first corner that cannot
// be read at all. n corners give n - 2 triangles (c0, c[k-1], c[k]).
// Index numbers: i > 0 is element i - 1, -k is the k-th most recent element.
//
// Safety rules (bad files never read or write out of bounds):
// - A corner whose number is 0, names an element not read yet (forward or
//   beyond the file), lies before the first element, does not fit 32 bits,
//   or is missing because the corner was only partly readable (another form
//   than the first corner's), names no element: every triangle using that
//   corner is dropped. A face with fewer than three corners gives nothing.
// - Pass 2 never stores more than pass 1 counted (surplus attribute lines and
//   triangles are read and dropped) and, when it emits fewer triangles than
//   counted, triangle_count and the arrays are cut to what was emitted, so
//   object_starts always ends with triangle_count and every index is valid.
#include "assets/mesh/obj_loader.h"

#include "assets/mesh/obj_mesh.h"
#include "assets/mesh/obj_scanner.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#if defined(__linux__)
#include <sys/mman.h>
#endif

#include <sys/stat.h>

using obj_scan::ObjScanner;

namespace
{

// -----------------------------------------------------------------------------
// Large scratch arrays
// -----------------------------------------------------------------------------

// A growable array of plain values whose storage is never zero-filled and,
// once large, is mapped in huge pages where the system offers them: for a
// big mesh, faulting in the file text and the face numbers 4 KiB at a time
// costs about as much as parsing them.
template <class T> class big_array
{
  public:
    big_array() = default;
    big_array(const big_array &) = delete;
    big_array &operator=(const big_array &) = delete;
    ~big_array() { release(data_, capacity_); }

    std::size_t size() const { return size_; }
    std::size_t capacity() const { return capacity_; }
    T *data() { return data_; }
    const T *data() const { return data_; }
    T *end() { return data_ + size_; }
    T &operator[](std::size_t i) { return data_[i]; }
    const T &operator[](std::size_t i) const { return data_[i]; }
    // Counts n more elements written at end() (within the capacity).
    void grow_by(std::size_t n) { size_ += n; }
    void shrink_to(std::size_t n) { size_ = n < size_ ? n : size_; }
    // False when the memory cannot be had.
    bool push_back(const T &v)
    {
        if (size_ == capacity_ && !reserve(capacity_ < 1024 ? 1024 : capacity_ * 2))
            return false;
        data_[size_++] = v;
        return true;
    }
    // False when the memory cannot be had (the array is then unchanged).
    bool reserve(std::size_t capacity)
    {
        if (capacity <= capacity_)
            return true;
        if (capacity > std::size_t(-1) / sizeof(T))
            return false;
        T *p = acquire(capacity);
        if (!p)
            return false;
        if (size_ > 0)
            std::memcpy(p, data_, size_ * sizeof(T));
        release(data_, capacity_);
        data_ = p;
        capacity_ = capacity;
        return true;
    }

  private:
    static constexpr std::size_t mapped_from = std::size_t{4} << 20; // bytes

    static T *acquire(std::size_t count)
    {
        const std::size_t bytes = count * sizeof(T);
#if defined(__linux__)
        if (bytes >= mapped_from) {
            void *m = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
            if (m == MAP_FAILED)
                return nullptr;
            madvise(m, bytes, MADV_HUGEPAGE); // advice only: may be refused
            return static_cast<T *>(m);
        }
#endif
        return static_cast<T *>(std::malloc(bytes));
    }
    static void release(T *p, std::size_t count)
    {
        if (!p)
            return;
#if defined(__linux__)
        if (count * sizeof(T) >= mapped_from) {
            munmap(p, count * sizeof(T));
            return;
        }
#endif
        std::free(p);
    }

    T *data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

// Room for n elements of a mesh array, in huge pages where the system offers
// them: the advice is given before anything is written, since that is when
// the pages are faulted in.
template <class T> void reserve_in_huge_pages(std::vector<T> &v, std::size_t n)
{
    v.reserve(n);
#if defined(__linux__)
    constexpr std::uintptr_t huge = std::uintptr_t{2} << 20;
    const std::size_t bytes = v.capacity() * sizeof(T);
    if (bytes < 2 * huge)
        return;
    const auto from = reinterpret_cast<std::uintptr_t>(v.data());
    const std::uintptr_t begin = (from + huge - 1) & ~(huge - 1);
    const std::uintptr_t end = (from + bytes) & ~(huge - 1);
    if (end > begin)
        madvise(reinterpret_cast<void *>(begin), end - begin, MADV_HUGEPAGE); // advice only
#endif
}

// -----------------------------------------------------------------------------
// Face corners
// -----------------------------------------------------------------------------

enum class CornerForm : std::uint8_t {
    position,
    position_texcoord,
    position_texcoord_normal,
    position_normal
};

struct Corner {
    std::int32_t value[3] = {0, 0, 0};  // numbers in the order the form names them
    bool ok[3] = {false, false, false}; // converted and within 32 bits
};

constexpr int values_of(CornerForm form)
{
    switch (form) {
    case CornerForm::position:
        return 1;
    case CornerForm::position_texcoord:
        return 2;
    case CornerForm::position_texcoord_normal:
        return 3;
    case CornerForm::position_normal:
        return 2;
    }
    return 1;
}

// One corner in the form's format ("%d", "%d/%d", "%d/%d/%d", "%d//%d") with
// scanf's result: the number of values converted, or -1 at the end of input.
template <CornerForm form> int read_corner(ObjScanner &s, Corner &c)
{
    c = Corner{};
    constexpr int wanted = values_of(form);
    constexpr int slashes = form == CornerForm::position_normal ? 2 : 1;
    int got = 0;
    for (int i = 0; i < wanted; ++i) {
        if (i > 0) {
            for (int k = 0; k < slashes; ++k) {
                const int m = s.match('/');
                if (m <= 0)
                    return (m < 0 && got == 0) ? -1 : got;
            }
        }
        bool in_range = false;
        const int r = s.read_int(c.value[i], in_range);
        if (r <= 0)
            return (r < 0 && got == 0) ? -1 : got;
        c.ok[i] = in_range;
        ++got;
    }
    return got;
}

// The first corner is a whole token, decoded like sscanf on it. sscanf sees
// the token as a C string, so it ends at an embedded NUL byte.
CornerForm decode_first_corner(std::string_view token, Corner &c)
{
    // Usually the token reads as "%d/%d/%d" (or a prefix of it) to its very
    // end: then it holds neither "//" nor a NUL byte, and that read decides.
    ObjScanner whole(token);
    const int read = read_corner<CornerForm::position_texcoord_normal>(whole, c);
    if (whole.at_end())
        return read == 3   ? CornerForm::position_texcoord_normal
               : read == 2 ? CornerForm::position_texcoord
                           : CornerForm::position;
    std::size_t length = 0;
    bool double_slash = false;
    for (; length < token.size() && token[length] != '\0'; ++length)
        double_slash = double_slash || (length > 0 && token[length] == '/' && token[length - 1] == '/');
    ObjScanner s(token.substr(0, length));
    if (double_slash) {
        read_corner<CornerForm::position_normal>(s, c);
        return CornerForm::position_normal;
    }
    // Trying "%d/%d/%d", then "%d/%d", then "%d" stops at the same place
    // with the same values, so one read decides.
    const int got = read_corner<CornerForm::position_texcoord_normal>(s, c);
    if (got == 3)
        return CornerForm::position_texcoord_normal;
    if (got == 2)
        return CornerForm::position_texcoord;
    return CornerForm::position;
}

// The corners after the first, in the first one's form (fixed here so that
// each corner is read without asking which form it has).
template <CornerForm form, class Emit> void read_fan(ObjScanner &s, const Corner &first, Emit &emit)
{
    Corner prev, cur;
    if (read_corner<form>(s, prev) <= 0)
        return;
    if (read_corner<form>(s, cur) <= 0)
        return;
    emit(form, first, prev, cur);
    for (;;) {
        prev = cur;
        if (read_corner<form>(s, cur) <= 0)
            break;
        emit(form, first, prev, cur);
    }
}

// Reads one face after its "f" token and calls emit(c0, c1, c2) for each
// triangle of its fan. Both passes read faces through here, so they agree on
// the triangles.
template <class Emit> void read_face(ObjScanner &s, Emit &&emit)
{
    std::string_view token;
    if (s.read_token(token) <= 0)
        return;
    Corner first;
    switch (decode_first_corner(token, first)) {
    case CornerForm::position:
        read_fan<CornerForm::position>(s, first, emit);
        break;
    case CornerForm::position_texcoord:
        read_fan<CornerForm::position_texcoord>(s, first, emit);
        break;
    case CornerForm::position_texcoord_normal:
        read_fan<CornerForm::position_texcoord_normal>(s, first, emit);
        break;
    case CornerForm::position_normal:
        read_fan<CornerForm::position_normal>(s, first, emit);
        break;
    }
}

// First word of a line as sscanf "%s" sees it (the line ends at a NUL byte).
std::string first_word(std::string_view line)
{
    const std::size_t nul = line.find('\0');
    if (nul != std::string_view::npos)
        line = line.substr(0, nul);
    ObjScanner s(line);
    std::string_view word;
    if (s.read_token(word) <= 0)
        return {};
    return std::string(word);
}

// "v" exactly, as strlen sees the token.
bool is_single(std::string_view token)
{
    return token.size() == 1 || token[1] == '\0';
}
char second(std::string_view token)
{
    return token.size() > 1 ? token[1] : '\0';
}

// An index number of a corner as an element number, or -1 when it names no
// element among the `count` read so far.
std::int64_t element(std::int32_t number, bool ok, std::int64_t count)
{
    if (!ok || number == 0)
        return -1;
    const std::int64_t e = number > 0 ? std::int64_t{number} - 1 : count + number;
    return (e >= 0 && e < count) ? e : -1;
}

// -----------------------------------------------------------------------------
// Faces read once
// -----------------------------------------------------------------------------

// Pass 1 reads every face in full to count its triangles; it keeps what it
// read so that pass 2 does not parse the same numbers again. A face is keyed
// by where its corners start: reading a face depends only on the text from
// there on, so a face that pass 2 meets at the same place reads the same.
// (Pass 2 can meet faces elsewhere: its numbers skip newlines where pass 1
// skips lines, so such a face is simply read again.)
struct FaceRecord {
    std::size_t start = 0;          // offset of the corners (just after the "f" token)
    std::uint32_t length = 0;       // characters the face took
    std::uint16_t corner_count = 0; // 3 .. max_cached_corners
    CornerForm form = CornerForm::position;
};

// Faces whose every number converted and fits, with up to this many corners,
// are kept (the values of all corners, in order); any other face, and any
// face met once memory ran short, is read again in pass 2.
constexpr std::uint32_t max_cached_corners = 16;

struct FaceCache {
    big_array<FaceRecord> faces;
    big_array<std::int32_t> values;
    std::size_t next_face = 0; // pass 2 cursors
    std::size_t next_value = 0;
};

// -----------------------------------------------------------------------------
// The two passes
// -----------------------------------------------------------------------------

class Loader
{
  public:
    Loader(ObjMesh &mesh, std::string_view text, bool reuse_faces)
        : mesh_(mesh), text_(text), reuse_faces_(reuse_faces)
    {
    }

    void count_pass();
    void fill_pass();

  private:
    std::int64_t count_face(ObjScanner &s);
    void emit(CornerForm form, const Corner &a, const Corner &b, const Corner &c);
    void emit_face(CornerForm form, const Corner *corners, std::uint32_t count);
    bool resolve(CornerForm form, const Corner &c, std::int32_t &p, MeshVertex &v) const;
    std::uint32_t vertex_of(CornerForm form, std::int32_t p, const MeshVertex &v);

    ObjMesh &mesh_;
    std::string_view text_;
    bool reuse_faces_;
    FaceCache cache_;
    // Scratch of emit_face() and pass 2, kept here so that it is not
    // initialised again for every face.
    struct FaceScratch {
        Corner corners[max_cached_corners];
        std::int32_t position[max_cached_corners];
        MeshVertex vertex[max_cached_corners];
        signed char state[max_cached_corners];
        std::uint32_t index[max_cached_corners];
    } face_;
    // Pass 2 progress: elements stored so far, triangles emitted, material.
    std::int64_t positions_read_ = 0;
    std::int64_t texcoords_read_ = 0;
    std::int64_t normals_read_ = 0;
    std::int64_t emitted_ = 0;
    std::int32_t material_ = 0;
    // By position number: the vertex a position-only corner names, once
    // looked up (VertexLists::none before).
    std::vector<std::uint32_t> position_only_;
};

// Reads a face in pass 1: its triangle count, and, when faces are reused,
// its numbers for pass 2.
std::int64_t Loader::count_face(ObjScanner &s)
{
    std::int64_t triangles = 0;
    if (!reuse_faces_) {
        read_face(s, [&](CornerForm, const Corner &, const Corner &, const Corner &) { ++triangles; });
        return triangles;
    }
    const char *start = s.position();
    const std::size_t first = cache_.values.size();
    std::uint32_t corners = 0;
    bool keep = true;
    CornerForm face_form = CornerForm::position;
    auto keep_corner = [&](CornerForm form, const Corner &c) {
        const int n = values_of(form);
        for (int i = 0; i < n; ++i)
            keep = keep && c.ok[i] && cache_.values.push_back(c.value[i]);
        ++corners;
    };
    read_face(s, [&](CornerForm form, const Corner &a, const Corner &b, const Corner &c) {
        if (corners == 0) {
            keep_corner(form, a);
            keep_corner(form, b);
        }
        keep_corner(form, c);
        face_form = form;
        ++triangles;
    });
    const std::size_t length = static_cast<std::size_t>(s.position() - start);
    keep = keep && corners >= 3 && corners <= max_cached_corners && length <= 0xFFFFFFFFu;
    if (keep) {
        FaceRecord r;
        r.start = static_cast<std::size_t>(start - text_.data());
        r.length = static_cast<std::uint32_t>(length);
        r.corner_count = static_cast<std::uint16_t>(corners);
        r.form = face_form;
        keep = cache_.faces.push_back(r);
    }
    if (!keep)
        cache_.values.shrink_to(first);
    return triangles;
}

void Loader::count_pass()
{
    ObjMesh &m = mesh_;
    m.position_count = m.texcoord_count = m.normal_count = m.triangle_count = 0;
    m.has_texcoords = m.has_normals = false;
    std::int64_t triangles = 0;
    std::int64_t counts[3] = {0, 0, 0};

    // A first guess that fits typical meshes (a face number every six
    // characters or more, a face every 24); the arrays grow past it when
    // needed, and room never touched costs no memory.
    if (reuse_faces_) {
        cache_.values.reserve(text_.size() / 6);
        cache_.faces.reserve(text_.size() / 24);
    }

    ObjScanner s(text_);
    std::string_view token;
    while (s.read_token(token) > 0) {
        switch (token[0]) {
        case 'v':
            if (is_single(token)) {
                ++counts[0];
                s.read_line();
            } else if (second(token) == 'n') {
                ++counts[2];
                s.read_line();
            } else if (second(token) == 't') {
                ++counts[1];
                s.read_line();
            }
            break;
        case 'f':
            triangles += count_face(s);
            break;
        case 'm':
            m.add_material_library(m.directory + first_word(s.read_line()));
            break;
        default:
            s.read_line();
            break;
        }
    }

    // Counts beyond 32 bits cannot come from a file that fits in memory with
    // these line lengths, but clamp rather than wrap.
    auto clamp32 = [](std::int64_t v) { return static_cast<std::int32_t>(v > 0x7FFFFFFF ? 0x7FFFFFFF : v); };
    m.position_count = clamp32(counts[0]);
    m.texcoord_count = clamp32(counts[1]);
    m.normal_count = clamp32(counts[2]);
    m.triangle_count = clamp32(triangles);
    m.has_positions = m.position_count > 0;
    m.has_texcoords = m.texcoord_count > 0;
    m.has_normals = m.normal_count > 0;

    const auto pc = static_cast<std::size_t>(m.position_count);
    const auto tc = static_cast<std::size_t>(m.triangle_count);
    const auto tcc = static_cast<std::size_t>(m.texcoord_count);
    const auto nc = static_cast<std::size_t>(m.normal_count);
    reserve_in_huge_pages(m.positions, 3 * pc);
    reserve_in_huge_pages(m.texcoords, 2 * tcc);
    reserve_in_huge_pages(m.normals, 3 * nc);
    reserve_in_huge_pages(m.indices, 3 * tc);
    reserve_in_huge_pages(m.triangle_materials, tc);
    m.positions.assign(3 * pc, 0.0f);
    m.texcoords.assign(2 * tcc, 0.0f);
    m.normals.assign(3 * nc, 0.0f);
    m.indices.assign(3 * tc, 0u);
    m.triangle_materials.assign(tc, 0);
    // Smooth meshes have about one vertex per position, flat-shaded boxes
    // three; no mesh has more than three per triangle.
    const std::size_t expected = 3 * pc < 3 * tc ? 3 * pc : 3 * tc;
    reserve_in_huge_pages(m.vertices, expected);
    m.vertices_by_position.reserve(pc, expected);
    position_only_.assign(pc, VertexLists::none);

    if (m.material_count == 0) {
        MeshMaterial def;
        def.name = "default";
        m.materials.push_back(def);
        m.material_by_name["default"] = 0;
    }
}

bool Loader::resolve(CornerForm form, const Corner &c, std::int32_t &p, MeshVertex &v) const
{
    const std::int64_t pe = element(c.value[0], c.ok[0], positions_read_);
    if (pe < 0)
        return false;
    p = static_cast<std::int32_t>(pe);
    v = MeshVertex{};
    std::memcpy(v.position, &mesh_.positions[3 * static_cast<std::size_t>(pe)], 3 * sizeof(float));
    if (form == CornerForm::position_texcoord || form == CornerForm::position_texcoord_normal) {
        const std::int64_t te = element(c.value[1], c.ok[1], texcoords_read_);
        if (te < 0)
            return false;
        std::memcpy(v.texcoord, &mesh_.texcoords[2 * static_cast<std::size_t>(te)], 2 * sizeof(float));
    }
    if (form == CornerForm::position_texcoord_normal || form == CornerForm::position_normal) {
        const int slot = form == CornerForm::position_normal ? 1 : 2;
        const std::int64_t ne = element(c.value[slot], c.ok[slot], normals_read_);
        if (ne < 0)
            return false;
        std::memcpy(v.normal, &mesh_.normals[3 * static_cast<std::size_t>(ne)], 3 * sizeof(float));
    }
    return true;
}

// A position-only corner makes the same vertex every time for its position
// (the position, zeros elsewhere), and the vertex a lookup finds or adds is
// what every later lookup of it finds: the first lookup is remembered.
std::uint32_t Loader::vertex_of(CornerForm form, std::int32_t p, const MeshVertex &v)
{
    if (form != CornerForm::position)
        return mesh_.find_or_add_vertex(p, v);
    std::uint32_t &known = position_only_[static_cast<std::size_t>(p)];
    if (known == VertexLists::none)
        known = mesh_.find_or_add_vertex(p, v);
    return known;
}

void Loader::emit(CornerForm form, const Corner &a, const Corner &b, const Corner &c)
{
    if (emitted_ >= mesh_.triangle_count)
        return; // more than pass 1 counted
    std::int32_t p[3];
    MeshVertex v[3];
    if (!resolve(form, a, p[0], v[0]) || !resolve(form, b, p[1], v[1]) || !resolve(form, c, p[2], v[2]))
        return;
    const auto t = static_cast<std::size_t>(emitted_++);
    mesh_.triangle_materials[t] = material_;
    for (int j = 0; j < 3; ++j)
        mesh_.indices[3 * t + static_cast<std::size_t>(j)] = vertex_of(form, p[j], v[j]);
}

// The fan of a face read in pass 1. A corner resolves to the same vertex in
// every triangle that uses it (a vertex once found or added is what a later
// lookup finds), so each corner is resolved and looked up once; vertices are
// still added in the order the triangles name them, as emit() does.
void Loader::emit_face(CornerForm form, const Corner *corners, std::uint32_t count)
{
    constexpr std::uint32_t most = max_cached_corners;
    if (count > most)
        return;
    constexpr std::uint32_t unknown = VertexLists::none;
    std::int32_t *p = face_.position;
    MeshVertex *v = face_.vertex;
    signed char *state = face_.state; // 0 not resolved yet, 1 names a vertex, -1 names none
    std::uint32_t *index = face_.index;
    for (std::uint32_t k = 0; k < count; ++k) {
        state[k] = 0;
        index[k] = unknown;
    }
    for (std::uint32_t k = 2; k < count; ++k) {
        if (emitted_ >= mesh_.triangle_count)
            return; // more than pass 1 counted
        const std::uint32_t tri[3] = {0, k - 1, k};
        bool ok = true;
        for (const std::uint32_t c : tri) {
            if (state[c] == 0)
                state[c] = resolve(form, corners[c], p[c], v[c]) ? 1 : -1;
            ok = ok && state[c] > 0;
        }
        if (!ok)
            continue;
        const auto t = static_cast<std::size_t>(emitted_++);
        mesh_.triangle_materials[t] = material_;
        for (int j = 0; j < 3; ++j) {
            const std::uint32_t c = tri[j];
            if (index[c] == unknown)
                index[c] = vertex_of(form, p[c], v[c]);
            mesh_.indices[3 * t + static_cast<std::size_t>(j)] = index[c];
        }
    }
}

void Loader::fill_pass()
{
    ObjMesh &m = mesh_;
    m.object_starts.clear();

    // Reads up to `n` numbers into dst (when there is room) like "%f %f %f":
    // it stops at the first that fails, leaving the rest at 0.0.
    float scratch[3];
    auto read_numbers = [](ObjScanner &s, float *dst, int n) {
        for (int i = 0; i < n; ++i) {
            float f;
            if (s.read_float(f) != 1)
                return;
            dst[i] = f;
        }
    };

    ObjScanner s(text_);
    std::string_view token;
    while (s.read_token(token) > 0) {
        switch (token[0]) {
        case 'v':
            if (is_single(token)) {
                const bool room = positions_read_ < m.position_count;
                read_numbers(s, room ? &m.positions[3 * static_cast<std::size_t>(positions_read_)] : scratch,
                             3);
                positions_read_ += room;
            } else if (second(token) == 'n') {
                const bool room = normals_read_ < m.normal_count;
                read_numbers(s, room ? &m.normals[3 * static_cast<std::size_t>(normals_read_)] : scratch, 3);
                normals_read_ += room;
            } else if (second(token) == 't') {
                const bool room = texcoords_read_ < m.texcoord_count;
                read_numbers(s, room ? &m.texcoords[2 * static_cast<std::size_t>(texcoords_read_)] : scratch,
                             2);
                texcoords_read_ += room;
            }
            break;
        case 'f': {
            const std::size_t start = static_cast<std::size_t>(s.position() - text_.data());
            while (cache_.next_face < cache_.faces.size() && cache_.faces[cache_.next_face].start < start) {
                const FaceRecord &skipped = cache_.faces[cache_.next_face++];
                cache_.next_value += skipped.corner_count * static_cast<std::size_t>(values_of(skipped.form));
            }
            if (cache_.next_face < cache_.faces.size() && cache_.faces[cache_.next_face].start == start) {
                const FaceRecord &r = cache_.faces[cache_.next_face++];
                const int n = values_of(r.form);
                Corner *corners = face_.corners;
                for (std::uint32_t k = 0; k < r.corner_count; ++k)
                    for (int i = 0; i < n; ++i) {
                        corners[k].value[i] = cache_.values[cache_.next_value++];
                        corners[k].ok[i] = true;
                    }
                emit_face(r.form, corners, r.corner_count);
                s.set_position(text_.data() + start + r.length);
                break;
            }
            read_face(s, [this](CornerForm form, const Corner &a, const Corner &b, const Corner &c) {
                emit(form, a, b, c);
            });
            break;
        }
        case 'o': {
            m.object_starts.push_back(static_cast<std::int32_t>(emitted_));
            std::string_view name;
            s.read_token(name);
            break;
        }
        case 'u': {
            const auto it = m.material_by_name.find(first_word(s.read_line()));
            const bool known = it != m.material_by_name.end() && it->second >= 0 &&
                               static_cast<std::size_t>(it->second) < m.materials.size();
            material_ = known ? it->second : 0;
            break;
        }
        default:
            s.read_line();
            break;
        }
    }

    // Triangles dropped by the safety rules leave the tail unused: cut it.
    m.triangle_count = static_cast<std::int32_t>(emitted_);
    m.indices.resize(3 * static_cast<std::size_t>(emitted_));
    m.triangle_materials.resize(static_cast<std::size_t>(emitted_));
    m.object_starts.push_back(static_cast<std::int32_t>(emitted_));
}

// A whole file in memory. The size of a regular file is only a first guess
// (it may grow; pipes and special files have none), so reading goes on
// until the end.
bool read_all(std::FILE *f, std::size_t guess, big_array<char> &text)
{
    if (!text.reserve(guess < 65536 ? 65536 : guess))
        return false;
    for (;;) {
        if (text.size() == text.capacity() && !text.reserve(text.capacity() * 2))
            return false;
        const std::size_t n = std::fread(text.end(), 1, text.capacity() - text.size(), f);
        text.grow_by(n);
        if (n == 0)
            return std::ferror(f) == 0;
    }
}

std::string directory_of(std::string_view file_name)
{
    std::size_t cut = file_name.rfind('\\');
    if (cut == std::string_view::npos)
        cut = file_name.rfind('/');
    return cut == std::string_view::npos ? std::string() : std::string(file_name.substr(0, cut + 1));
}

} // namespace

void obj_loader::load_text(ObjMesh &mesh, std::string_view text, std::string_view file_name,
                           bool recompute_normals, bool reuse_faces)
{
    // A second load starts from an empty mesh rather than mixing two files.
    mesh = ObjMesh{};
    mesh.loaded = true;
    mesh.directory = directory_of(file_name);

    Loader loader(mesh, text, reuse_faces);
    loader.count_pass();
    loader.fill_pass();

    mesh.build_batches();
    mesh.compute_bounds();
    if (recompute_normals || !mesh.has_normals)
        mesh.compute_normals();
}

void ObjMesh::load_text(std::string_view text, std::string_view file_name, bool recompute_normals)
{
    obj_loader::load_text(*this, text, file_name, recompute_normals, true);
}

bool ObjMesh::load(const char *file_name, bool recompute_normals)
{
    if (!file_name)
        return false;
    std::FILE *f = std::fopen(file_name, "rb");
    if (!f)
        return false;
    // A folder opens on Linux and seeks to a nonsense size: it is a file
    // that cannot be read, like a missing one.
    struct stat info {
    };
    if (fstat(fileno(f), &info) != 0 || S_ISDIR(info.st_mode)) {
        std::fclose(f);
        return false;
    }
    const std::size_t guess =
        S_ISREG(info.st_mode) && info.st_size > 0 ? static_cast<std::size_t>(info.st_size) + 1 : 0;
    big_array<char> text;
    const bool read = read_all(f, guess, text);
    std::fclose(f);
    if (!read)
        return false;
    load_text(std::string_view(text.data(), text.size()), file_name, recompute_normals);
    return true;
}
