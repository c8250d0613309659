// Content test helpers.
// Depends on: content_support.h, libjpeg.
#include "content_support.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

#include <jpeglib.h>

namespace content
{

std::filesystem::path data_dir()
{
    return std::filesystem::path(VELLAMOR_SOURCE_DIR) / "data";
}

namespace
{

std::string quote(const std::string &s)
{
    std::string out = "'";
    for (char c : s)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

} // namespace

RunResult run(const std::string &program, const std::vector<std::string> &args)
{
    std::string command = quote(program);
    for (const std::string &a : args)
        command += " " + quote(a);
    RunResult result;
    std::FILE *pipe = popen(command.c_str(), "r");
    if (!pipe)
        return result;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0)
        result.output.append(buf, n);
    const int status = pclose(pipe);
    result.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::string read_file(const std::filesystem::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

ObjFile read_obj(const std::filesystem::path &path)
{
    ObjFile f;
    std::ifstream in(path);
    if (!in) {
        f.error = "cannot open " + path.string();
        return f;
    }
    std::vector<std::array<double, 3>> pos, nor;
    std::string line;
    int line_number = 0;
    auto fail = [&](const std::string &why) {
        if (f.error.empty())
            f.error = "line " + std::to_string(line_number) + ": " + why;
    };
    while (std::getline(in, line)) {
        ++line_number;
        f.longest_line = std::max(f.longest_line, line.size());
        std::istringstream ls(line);
        std::string key;
        if (!(ls >> key) || key[0] == '#')
            continue;
        if (key == "v" || key == "vn") {
            std::array<double, 3> v{};
            if (!(ls >> v[0] >> v[1] >> v[2]))
                fail("short " + key);
            if (key == "v") {
                pos.push_back(v);
                ++f.positions;
                for (int k = 0; k < 3; ++k)
                    f.lo[k] = std::min(f.lo[k], v[k]), f.hi[k] = std::max(f.hi[k], v[k]);
            } else {
                nor.push_back(v);
                ++f.normals;
                if (std::fabs(std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]) - 1) > 2e-3)
                    fail("normal not unit");
            }
        } else if (key == "vt") {
            double u, v;
            if (!(ls >> u >> v))
                fail("short vt");
            ++f.texcoords;
        } else if (key == "o") {
            std::string name, extra;
            if (!(ls >> name) || (ls >> extra))
                fail("object name must be one word");
            f.object_names.push_back(name);
            f.object_triangles.push_back(0);
            f.object_bounds.push_back({1e30, 1e30, 1e30, -1e30, -1e30, -1e30});
        } else if (key == "f") {
            if (f.object_names.empty())
                fail("face before the first object");
            std::vector<std::string> corners;
            std::string c;
            while (ls >> c)
                corners.push_back(c);
            if (corners.size() < 3)
                fail("face with fewer than three corners");
            std::string form;
            std::array<double, 3> geo{}, given{};
            std::vector<std::array<double, 3>> ps;
            for (const std::string &corner : corners) {
                int v = 0, t = 0, n = 0;
                std::string this_form;
                if (std::sscanf(corner.c_str(), "%d//%d", &v, &n) == 2 &&
                    corner.find("//") != std::string::npos)
                    this_form = "v//vn";
                else if (std::sscanf(corner.c_str(), "%d/%d/%d", &v, &t, &n) == 3)
                    this_form = "v/vt/vn";
                else
                    this_form = "other";
                if (form.empty())
                    form = this_form;
                if (this_form != form)
                    fail("corners of one face in different forms");
                if (v < 1 || v > static_cast<int>(pos.size()))
                    fail("position index out of range");
                if (n < 1 || n > static_cast<int>(nor.size()))
                    fail("normal index out of range");
                if (this_form == "v/vt/vn" && (t < 1 || t > f.texcoords))
                    fail("texture index out of range");
                if (!f.error.empty())
                    return f;
                ps.push_back(pos[v - 1]);
                for (int k = 0; k < 3; ++k)
                    given[k] += nor[n - 1][k];
            }
            if (f.face_form.empty())
                f.face_form = form;
            if (form != f.face_form)
                f.mixed_forms = true;
            // Newell normal of the polygon against the normals it was given.
            for (size_t i = 0; i < ps.size(); ++i) {
                const auto &a = ps[i];
                const auto &b = ps[(i + 1) % ps.size()];
                geo[0] += (a[1] - b[1]) * (a[2] + b[2]);
                geo[1] += (a[2] - b[2]) * (a[0] + b[0]);
                geo[2] += (a[0] - b[0]) * (a[1] + b[1]);
            }
            if (geo[0] * given[0] + geo[1] * given[1] + geo[2] * given[2] < 0)
                ++f.faces_against_normals;
            ++f.faces;
            f.triangles += static_cast<int>(corners.size()) - 2;
            f.object_triangles.back() += static_cast<int>(corners.size()) - 2;
            auto &ob = f.object_bounds.back();
            for (const auto &p : ps)
                for (int k = 0; k < 3; ++k)
                    ob[k] = std::min(ob[k], p[k]), ob[3 + k] = std::max(ob[3 + k], p[k]);
        } else {
            fail("unexpected keyword " + key);
        }
    }
    return f;
}

Decoded decode_jpeg(const std::filesystem::path &path)
{
    Decoded d;
    const std::string bytes = read_file(path);
    if (bytes.empty())
        return d;
    jpeg_decompress_struct info;
    jpeg_error_mgr err;
    info.err = jpeg_std_error(&err);
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char *>(bytes.data()),
                 static_cast<unsigned long>(bytes.size()));
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK) {
        jpeg_destroy_decompress(&info);
        return d;
    }
    d.width = static_cast<int>(info.image_width);
    d.height = static_cast<int>(info.image_height);
    d.components = info.num_components;
    d.progressive = info.progressive_mode;
    d.restart_interval = info.restart_interval;
    d.luma_h = info.comp_info[0].h_samp_factor;
    d.luma_v = info.comp_info[0].v_samp_factor;
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    d.rgb.resize(static_cast<size_t>(d.width) * d.height * 3);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = &d.rgb[static_cast<size_t>(info.output_scanline) * d.width * 3];
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    d.ok = true;
    return d;
}

Ppm read_ppm(const std::filesystem::path &path)
{
    Ppm p;
    const std::string bytes = read_file(path);
    std::istringstream in(bytes);
    std::string magic;
    int maxval = 0;
    if (!(in >> magic >> p.width >> p.height >> maxval) || magic != "P6" || maxval != 255)
        return p;
    in.get(); // the single whitespace before the samples
    const size_t offset = static_cast<size_t>(in.tellg());
    const size_t size = static_cast<size_t>(p.width) * p.height * 3;
    if (bytes.size() < offset + size)
        return p;
    p.rgb.assign(bytes.begin() + static_cast<std::ptrdiff_t>(offset),
                 bytes.begin() + static_cast<std::ptrdiff_t>(offset + size));
    p.ok = true;
    return p;
}

} // namespace content
