#include "render/glsl_es_translation.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <map>
#include <optional>

namespace
{

bool is_identifier_start(char c)
{
    return std::isalpha(static_cast<unsigned char>(c)) || c == '_';
}
bool is_identifier_char(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

// Built-ins that GLSL ES 3.00 has under the same name and meaning.
constexpr std::array kept_builtins = {
    "gl_Position",
    "gl_PointSize",
    "gl_FragCoord",
    "gl_FrontFacing",
    "gl_PointCoord",
    "gl_FragDepth",
    "gl_VertexID",
    "gl_InstanceID",
    "gl_MaxDrawBuffers",
    "gl_MaxTextureImageUnits",
    "gl_DepthRange",
    "gl_MaxVertexAttribs",
    "gl_MaxVertexTextureImageUnits",
    "gl_MaxCombinedTextureImageUnits",
};

// Texture functions whose arguments pass through as they are.
const std::map<std::string_view, std::string_view> renamed_functions = {
    {"texture2D", "texture"},         {"texture2DLod", "textureLod"},
    {"texture2DProj", "textureProj"}, {"texture2DProjLod", "textureProjLod"},
    {"textureCube", "texture"},       {"textureCubeLod", "textureLod"},
    {"texture3D", "texture"},         {"texture3DLod", "textureLod"},
};

class Translator
{
  public:
    Translator(std::string_view source, ShaderStage stage) : source_(source), stage_(stage) {}

    EsTranslation run()
    {
        std::string body = translate(source_);
        if (!error_.empty()) {
            result_.error = error_;
            return result_;
        }
        result_.text = header() + body;
        return result_;
    }

  private:
    // The text of `piece` (a part of source_) translated.
    std::string translate(std::string_view piece)
    {
        std::string out;
        out.reserve(piece.size() + piece.size() / 8);
        size_t i = 0;
        bool line_start = true;
        while (i < piece.size() && error_.empty()) {
            const char c = piece[i];
            if (c == '/' && i + 1 < piece.size() && piece[i + 1] == '/') {
                const size_t end = std::min(piece.find('\n', i), piece.size());
                out.append(piece.substr(i, end - i));
                i = end;
            } else if (c == '/' && i + 1 < piece.size() && piece[i + 1] == '*') {
                const size_t close = piece.find("*/", i + 2);
                const size_t end = close == std::string_view::npos ? piece.size() : close + 2;
                out.append(piece.substr(i, end - i));
                i = end;
                continue; // a comment does not end the line's leading space
            } else if (c == '#' && line_start) {
                i = directive(piece, i, out);
            } else if (is_identifier_start(c)) {
                size_t end = i;
                while (end < piece.size() && is_identifier_char(piece[end]))
                    ++end;
                i = identifier(piece, i, end, out);
            } else if (std::isdigit(static_cast<unsigned char>(c)) ||
                       (c == '.' && i + 1 < piece.size() &&
                        std::isdigit(static_cast<unsigned char>(piece[i + 1])))) {
                // A number, exponent and suffix included, is never a name.
                size_t end = i + 1;
                while (end < piece.size() && (is_identifier_char(piece[end]) || piece[end] == '.' ||
                                              ((piece[end] == '+' || piece[end] == '-') &&
                                               (piece[end - 1] == 'e' || piece[end - 1] == 'E'))))
                    ++end;
                out.append(piece.substr(i, end - i));
                i = end;
            } else {
                out.push_back(c);
                ++i;
            }
            if (i > 0 && i <= piece.size()) {
                const char last = piece[i - 1];
                if (last == '\n')
                    line_start = true;
                else if (last != ' ' && last != '\t' && last != '\r')
                    line_start = false;
            }
        }
        return out;
    }

    // A preprocessor line starting at piece[i]; returns the index after it.
    size_t directive(std::string_view piece, size_t i, std::string &out)
    {
        const size_t end = std::min(piece.find('\n', i), piece.size());
        const std::string_view line = piece.substr(i, end - i);
        size_t word = i + 1;
        while (word < end && (piece[word] == ' ' || piece[word] == '\t'))
            ++word;
        size_t word_end = word;
        while (word_end < end && is_identifier_char(piece[word_end]))
            ++word_end;
        const std::string_view name = piece.substr(word, word_end - word);
        if (name == "version") {
            const std::string_view rest = piece.substr(word_end, end - word_end);
            const size_t digits = rest.find_first_not_of(" \t");
            const std::string_view number =
                digits == std::string_view::npos ? std::string_view{} : rest.substr(digits, 3);
            if (number != "110" && number != "120")
                fail(piece.data() + i,
                     "only GLSL 1.10 and 1.20 are translated, not \"" + std::string(line) + "\"");
            if (version_line_ != 0)
                fail(piece.data() + i, "a second #version line");
            version_line_ = line_of(static_cast<size_t>(piece.data() + i - source_.data()));
            return end; // the header takes its place
        }
        if (name == "extension") {
            if (line.find("GL_ARB_shader_texture_lod") == std::string_view::npos)
                fail(piece.data() + i, "no GLSL ES counterpart for \"" + std::string(line) + "\"");
            return end; // explicit levels are part of GLSL ES 3.00
        }
        // Other directives (#define, #if, ...) are kept; names in them are
        // translated like the rest of the text.
        out.push_back('#');
        return i + 1;
    }

    size_t identifier(std::string_view piece, size_t begin, size_t end, std::string &out)
    {
        const std::string_view name = piece.substr(begin, end - begin);
        const bool vertex = stage_ == ShaderStage::vertex;
        if (name == "attribute") {
            if (!vertex)
                fail(piece.data() + begin, "\"attribute\" in a fragment shader");
            out += "in";
        } else if (name == "varying") {
            out += vertex ? "out" : "in";
        } else if (name == "uniform") {
            return uniform_declaration(piece, end, out);
        } else if (name == "sampler1D") {
            out += "sampler2D";
        } else if (auto renamed = renamed_functions.find(name); renamed != renamed_functions.end()) {
            out += renamed->second;
        } else if (name == "texture1D" || name == "texture1DLod") {
            return one_d_lookup(piece, begin, end, name == "texture1DLod", out);
        } else if (name == "ftransform") {
            const size_t after = expect_empty_call(piece, end);
            if (after == 0) {
                fail(piece.data() + begin, "ftransform must be called as ftransform()");
                return end;
            }
            need_vertex_input(piece.data() + begin, "vellamor_Vertex", "vec4");
            need_uniform("vellamor_ModelViewProjectionMatrix", "mat4");
            out += "(vellamor_ModelViewProjectionMatrix * vellamor_Vertex)";
            return after;
        } else if (name.substr(0, 3) == "gl_") {
            return builtin(piece, begin, end, out);
        } else {
            out.append(name);
        }
        return end;
    }

    // "uniform TYPE NAME = VALUE;" from just after "uniform": the
    // declaration without its initialiser (line breaks kept) and the default
    // recorded; a declaration without one goes on as usual.
    size_t uniform_declaration(std::string_view piece, size_t end, std::string &out)
    {
        out += "uniform";
        const size_t semicolon = piece.find(';', end);
        if (semicolon == std::string_view::npos)
            return end;
        const size_t equals = piece.substr(end, semicolon - end).find('=');
        if (equals == std::string_view::npos)
            return end;
        const std::string_view declarator = piece.substr(end, equals);
        const std::string_view value = piece.substr(end + equals + 1, semicolon - end - equals - 1);
        if (declarator.find(',') != std::string_view::npos ||
            declarator.find('[') != std::string_view::npos) {
            fail(piece.data() + end, "an initialised uniform list or array has no GLSL ES form");
            return end;
        }
        size_t name_end = declarator.find_last_not_of(" \t\r\n");
        size_t name_begin = name_end;
        while (name_begin > 0 && is_identifier_char(declarator[name_begin - 1]))
            --name_begin;
        const size_t trim_begin = value.find_first_not_of(" \t\r\n");
        const size_t trim_end = value.find_last_not_of(" \t\r\n");
        if (name_end == std::string_view::npos || trim_begin == std::string_view::npos) {
            fail(piece.data() + end, "a uniform initialiser without a name or a value");
            return end;
        }
        result_.uniform_defaults.push_back(
            {std::string(declarator.substr(name_begin, name_end + 1 - name_begin)),
             std::string(value.substr(trim_begin, trim_end + 1 - trim_begin))});
        out += translate(declarator.substr(0, name_end + 1));
        out += ";";
        out.append(static_cast<size_t>(std::count(value.begin(), value.end(), '\n')), '\n');
        return semicolon + 1;
    }

    // texture1D(s, x[, bias]) -> texture(s, vec2(x, 0.5)[, bias]) and
    // texture1DLod(s, x, lod) -> textureLod(s, vec2(x, 0.5), lod).
    size_t one_d_lookup(std::string_view piece, size_t begin, size_t end, bool lod, std::string &out)
    {
        size_t open = end;
        while (open < piece.size() && std::isspace(static_cast<unsigned char>(piece[open])))
            ++open;
        if (open >= piece.size() || piece[open] != '(') {
            fail(piece.data() + begin, "a 1D texture function that is not called");
            return end;
        }
        std::vector<std::string_view> args;
        size_t depth = 0, start = open + 1, i = open + 1;
        for (; i < piece.size(); ++i) {
            const char c = piece[i];
            if (c == '(' || c == '[') {
                ++depth;
            } else if ((c == ')' || c == ']') && depth > 0) {
                --depth;
            } else if (c == ')' || (c == ',' && depth == 0)) {
                args.push_back(piece.substr(start, i - start));
                start = i + 1;
                if (c == ')')
                    break;
            }
        }
        const size_t wanted_min = lod ? 3 : 2, wanted_max = 3;
        if (i >= piece.size() || args.size() < wanted_min || args.size() > wanted_max) {
            fail(piece.data() + begin, "a 1D texture lookup with unexpected arguments");
            return end;
        }
        out += lod ? "textureLod(" : "texture(";
        out += translate(args[0]);
        out += ", vec2(";
        out += translate(args[1]);
        out += ", 0.5)";
        if (args.size() == 3) {
            out += ",";
            out += translate(args[2]);
        }
        out += ")";
        return i + 1;
    }

    size_t builtin(std::string_view piece, size_t begin, size_t end, std::string &out)
    {
        const std::string_view name = piece.substr(begin, end - begin);
        const bool vertex = stage_ == ShaderStage::vertex;
        const std::string plain = "vellamor_" + std::string(name.substr(3));
        if (name == "gl_ModelViewMatrix" || name == "gl_ProjectionMatrix" ||
            name == "gl_ModelViewProjectionMatrix") {
            need_uniform(plain, "mat4");
            out += plain;
        } else if (name == "gl_NormalMatrix") {
            need_uniform(plain, "mat3");
            out += plain;
        } else if (name == "gl_TextureMatrix" || name == "gl_TexCoord" || name == "gl_FragData") {
            const auto index = literal_index(piece, end);
            if (!index) {
                fail(piece.data() + begin, std::string(name) + " indexed by anything but a number");
                return end;
            }
            const std::string indexed = plain + std::to_string(index->first);
            if (name == "gl_TextureMatrix") {
                need_uniform(indexed, "mat4");
            } else if (name == "gl_TexCoord") {
                need_varying(indexed, "vec4");
            } else {
                if (vertex)
                    fail(piece.data() + begin, "gl_FragData in a vertex shader");
                need_output(piece.data() + begin, indexed, index->first);
            }
            out += indexed;
            return index->second;
        } else if (name == "gl_Point") {
            size_t dot = end;
            while (dot < piece.size() && std::isspace(static_cast<unsigned char>(piece[dot])))
                ++dot;
            if (piece.substr(dot, 1) != ".") {
                fail(piece.data() + begin, "gl_Point without a member");
                return end;
            }
            size_t member = dot + 1;
            while (member < piece.size() && std::isspace(static_cast<unsigned char>(piece[member])))
                ++member;
            size_t member_end = member;
            while (member_end < piece.size() && is_identifier_char(piece[member_end]))
                ++member_end;
            if (piece.substr(member, member_end - member) != "size") {
                fail(piece.data() + begin, "only gl_Point.size has a GLSL ES stand-in");
                return end;
            }
            need_uniform("vellamor_PointSize", "float");
            out += "vellamor_PointSize";
            return member_end;
        } else if (name == "gl_Vertex" || name == "gl_Normal" || name.substr(0, 16) == "gl_MultiTexCoord") {
            const bool unit_ok = name.substr(0, 16) != "gl_MultiTexCoord" ||
                                 (name.size() == 17 && name[16] >= '0' && name[16] <= '7');
            if (!unit_ok) {
                fail(piece.data() + begin, "no GLSL ES stand-in for " + std::string(name));
                return end;
            }
            need_vertex_input(piece.data() + begin, plain, name == "gl_Normal" ? "vec3" : "vec4");
            out += plain;
        } else if (name == "gl_Color") {
            if (vertex) {
                need_vertex_input(piece.data() + begin, plain, "vec4");
                out += plain;
            } else {
                need_varying("vellamor_FrontColor", "vec4");
                out += "vellamor_FrontColor";
            }
        } else if (name == "gl_FrontColor") {
            if (!vertex)
                fail(piece.data() + begin, "gl_FrontColor in a fragment shader");
            need_varying(plain, "vec4");
            out += plain;
        } else if (name == "gl_FragColor") {
            if (vertex)
                fail(piece.data() + begin, "gl_FragColor in a vertex shader");
            need_output(piece.data() + begin, plain, -1);
            out += plain;
        } else if (std::find(kept_builtins.begin(), kept_builtins.end(), name) != kept_builtins.end()) {
            out.append(name);
        } else {
            fail(piece.data() + begin, "no GLSL ES counterpart for " + std::string(name));
        }
        return end;
    }

    // "[N]" after a name (spaces allowed): N and the index after "]".
    static std::optional<std::pair<int, size_t>> literal_index(std::string_view piece, size_t i)
    {
        auto skip = [&] {
            while (i < piece.size() && std::isspace(static_cast<unsigned char>(piece[i])))
                ++i;
        };
        skip();
        if (i >= piece.size() || piece[i] != '[')
            return std::nullopt;
        ++i;
        skip();
        int value = 0, digits = 0;
        while (i < piece.size() && std::isdigit(static_cast<unsigned char>(piece[i])) && digits < 2) {
            value = value * 10 + (piece[i] - '0');
            ++i;
            ++digits;
        }
        skip();
        if (digits == 0 || i >= piece.size() || piece[i] != ']')
            return std::nullopt;
        return std::pair{value, i + 1};
    }

    // "()" after a name: the index after it, or 0.
    static size_t expect_empty_call(std::string_view piece, size_t i)
    {
        auto skip = [&] {
            while (i < piece.size() && std::isspace(static_cast<unsigned char>(piece[i])))
                ++i;
        };
        skip();
        if (i >= piece.size() || piece[i] != '(')
            return 0;
        ++i;
        skip();
        if (i >= piece.size() || piece[i] != ')')
            return 0;
        return i + 1;
    }

    void need_uniform(const std::string &name, const char *type)
    {
        if (add(name, std::string("uniform ") + type + " " + name + ";"))
            result_.uniforms.push_back(name);
    }

    void need_vertex_input(const char *at, const std::string &name, const char *type)
    {
        if (stage_ != ShaderStage::vertex) {
            fail(at, name.substr(9) + " is a vertex input: not in a fragment shader");
            return;
        }
        if (add(name, std::string("in ") + type + " " + name + ";"))
            result_.attributes.push_back(name);
    }

    void need_varying(const std::string &name, const char *type)
    {
        add(name, std::string(stage_ == ShaderStage::vertex ? "out " : "in ") + type + " " + name + ";");
    }

    // index -1: gl_FragColor, which cannot be mixed with gl_FragData.
    void need_output(const char *at, const std::string &name, int index)
    {
        if ((index < 0 && uses_frag_data_) || (index >= 0 && uses_frag_color_)) {
            fail(at, "gl_FragColor and gl_FragData in one shader");
            return;
        }
        (index < 0 ? uses_frag_color_ : uses_frag_data_) = true;
        const int location = std::max(index, 0);
        result_.fragment_outputs = std::max(result_.fragment_outputs, location + 1);
        add(name, "layout(location = " + std::to_string(location) + ") out vec4 " + name + ";");
    }

    bool add(const std::string &name, std::string declaration)
    {
        for (const auto &known : declarations_)
            if (known.first == name)
                return false;
        declarations_.emplace_back(name, std::move(declaration));
        return true;
    }

    std::string header() const
    {
        std::string text = "#version 300 es\n";
        text += "precision highp float; precision highp int; precision highp sampler2D; "
                "precision highp samplerCube;";
        for (const auto &d : declarations_)
            text += " " + d.second;
        // The rest of the #version line (its line break) follows, so the
        // file's next line gets its own number.
        text += "\n#line " + std::to_string(std::max(version_line_, 1)) + "\n";
        return text;
    }

    int line_of(size_t offset) const
    {
        return 1 + static_cast<int>(std::count(source_.begin(), source_.begin() + offset, '\n'));
    }

    // `at` points into source_ (every piece is a view of it).
    void fail(const char *at, const std::string &why)
    {
        if (error_.empty())
            error_ = "line " + std::to_string(line_of(static_cast<size_t>(at - source_.data()))) + ": " + why;
    }

    std::string_view source_;
    ShaderStage stage_;
    EsTranslation result_;
    std::string error_;
    std::vector<std::pair<std::string, std::string>> declarations_;
    int version_line_ = 0;
    bool uses_frag_color_ = false;
    bool uses_frag_data_ = false;
};

} // namespace

EsTranslation translate_to_glsl_es(std::string_view source, ShaderStage stage)
{
    // The files are read whole with their terminating NUL.
    while (!source.empty() && source.back() == '\0')
        source.remove_suffix(1);
    return Translator(source, stage).run();
}

EsTranslation fixed_function_vertex_stage()
{
    return translate_to_glsl_es("#version 120\n"
                                "void main()\n"
                                "{\n"
                                "    gl_Position = ftransform();\n"
                                "    gl_TexCoord[0] = gl_TextureMatrix[0] * gl_MultiTexCoord0;\n"
                                "    gl_FrontColor = gl_Color;\n"
                                "}\n",
                                ShaderStage::vertex);
}
