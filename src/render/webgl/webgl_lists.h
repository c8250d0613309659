// WebGlLists: display lists for WebGL2. A list is either a piece (one
// static vertex buffer drawn with one glDrawArrays, the vertices as they
// were compiled) or a chain of calls to other lists, so a grid draws the
// same primitives in the same order as its GL 2 display list. Numbers are
// handed out as glGenLists does: never one already defined.
// Depends on: GLES 3, webgl_state.h. GL thread only.
#pragma once

#include <GLES3/gl3.h>

#include <unordered_map>
#include <vector>

class WebGlLists
{
  public:
    static WebGlLists &current();

    // The first of `count` consecutive undefined numbers, now defined empty.
    unsigned generate(int count);
    // Piece `number`: `count` vertices of `floats` floats each (x, y, then
    // three texture coordinates when `tex_coords`).
    void define_piece(unsigned number, GLenum mode, const std::vector<float> &data, int first, int count,
                      bool tex_coords);
    // List `number` calls `calls` in order (replacing what it did).
    void define_chain(unsigned number, std::vector<unsigned> calls);
    bool defined(unsigned number) const { return lists_.count(number) != 0; }
    void call(unsigned number) const;

  private:
    struct List {
        GLuint buffer = 0;
        GLenum mode = GL_POINTS;
        int count = 0;
        bool tex_coords = false;
        std::vector<unsigned> calls;
    };
    std::unordered_map<unsigned, List> lists_;
    unsigned next_ = 1;
};
