#include "render/webgl/webgl_lists.h"

#include "render/webgl/webgl_state.h"

WebGlLists &WebGlLists::current()
{
    static WebGlLists lists;
    return lists;
}

unsigned WebGlLists::generate(int count)
{
    if (count <= 0)
        return 0;
    for (;;) {
        bool free = true;
        for (int k = 0; k < count && free; ++k)
            free = !defined(next_ + static_cast<unsigned>(k));
        if (free)
            break;
        ++next_;
    }
    const unsigned first = next_;
    for (int k = 0; k < count; ++k)
        lists_[first + static_cast<unsigned>(k)] = List{};
    next_ += static_cast<unsigned>(count);
    return first;
}

void WebGlLists::define_piece(unsigned number, GLenum mode, const std::vector<float> &data, int first,
                              int count, bool tex_coords)
{
    List &l = lists_[number];
    l.calls.clear();
    l.mode = mode;
    l.count = count;
    l.tex_coords = tex_coords;
    if (l.buffer == 0)
        glGenBuffers(1, &l.buffer);
    const int floats = tex_coords ? 5 : 2;
    glBindBuffer(GL_ARRAY_BUFFER, l.buffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(count * floats * sizeof(float)),
                 data.data() + static_cast<std::size_t>(first * floats), GL_STATIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

void WebGlLists::define_chain(unsigned number, std::vector<unsigned> calls)
{
    List &l = lists_[number];
    l.count = 0;
    l.calls = std::move(calls);
}

void WebGlLists::call(unsigned number) const
{
    const auto found = lists_.find(number);
    if (found == lists_.end())
        return;
    const List &l = found->second;
    if (l.count > 0) {
        const GLsizei stride = static_cast<GLsizei>((l.tex_coords ? 5 : 2) * sizeof(float));
        WebGlState &state = WebGlState::current();
        unsigned arrays = 1u << webgl_attribute::vertex;
        if (l.tex_coords)
            arrays |= 1u << webgl_attribute::tex_coord0;
        state.prepare_draw(arrays);
        glBindBuffer(GL_ARRAY_BUFFER, l.buffer);
        glVertexAttribPointer(webgl_attribute::vertex, 2, GL_FLOAT, GL_FALSE, stride, nullptr);
        if (l.tex_coords)
            glVertexAttribPointer(webgl_attribute::tex_coord0, 3, GL_FLOAT, GL_FALSE, stride,
                                  reinterpret_cast<const void *>(2 * sizeof(float)));
        glDrawArrays(l.mode, 0, l.count);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
    }
    for (const unsigned sub : l.calls)
        call(sub);
}
