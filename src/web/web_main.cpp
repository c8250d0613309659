// The wasm's entry: nothing runs until the page calls the C interface
// (web_api.h); the runtime stays up after main returns.
#include <cstdio>

int main()
{
    std::printf("vellamor: ready\n");
    return 0;
}
