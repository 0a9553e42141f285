// Times the same small programs in the game's script language and in Lua 5.4
// and prints both times and their ratio. Run a Release build:
//   script_bench [REPEATS] [--program N] [--script-only]
// --program runs only the N-th program (1..4), --script-only leaves Lua out
// (for profiling the interpreter alone).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <stdexcept>
#include <string>

extern "C" {
#include <lauxlib.h>
#include <lua.h>
#include <lualib.h>
}

#include "script/Function.h"
#include "script/Script.h"

namespace {

struct TProgram {
    const char* name;
    const char* script;  // the game's language
    const char* lua;     // Lua 5.4, globals like the script's variables
    const char* luaLocal;  // Lua 5.4 with locals, as a Lua author writes it
};

const TProgram kPrograms[] = {
    {"integer loop arithmetic",
     "s := 0; for i := 1 to 1000000 do s := (s + i * 3 - i div 7) mod 1000003;",
     "s = 0 for i = 1, 1000000 do s = (s + i * 3 - i // 7) % 1000003 end",
     "local s = 0 for i = 1, 1000000 do s = (s + i * 3 - i // 7) % 1000003 end"},
    {"host function calls",
     "s := 0; for i := 1 to 1000000 do s := Add3(s, i, 1);",
     "s = 0 for i = 1, 1000000 do s = Add3(s, i, 1) end",
     "local s = 0 local Add3 = Add3 for i = 1, 1000000 do s = Add3(s, i, 1) end"},
    {"string building",
     "s := ''; for i := 1 to 300000 do begin s := s + IntToStr(i mod 10); if length(s) > 100 then s := '' end;",
     "s = '' for i = 1, 300000 do s = s .. tostring(i % 10) if #s > 100 then s = '' end end",
     "local s = '' for i = 1, 300000 do s = s .. tostring(i % 10) if #s > 100 then s = '' end end"},
    {"array reads and writes",
     "SetArray(a, 1000); for i := 0 to 999 do a[i] := i;"
     "for k := 1 to 300 do for i := 0 to 999 do a[i] := (a[i] + a[999 - i]) mod 7919;",
     "a = {} for i = 1, 1000 do a[i] = i - 1 end "
     "for k = 1, 300 do for i = 1, 1000 do a[i] = (a[i] + a[1001 - i]) % 7919 end end",
     "local a = {} for i = 1, 1000 do a[i] = i - 1 end "
     "for k = 1, 300 do for i = 1, 1000 do a[i] = (a[i] + a[1001 - i]) % 7919 end end"},
};

double Best(int repeats, const std::function<void()>& run) {
    double best = 1e300;
    for (int r = 0; r < repeats; ++r) {
        const auto start = std::chrono::steady_clock::now();
        run();
        const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
    }
    return best;
}

int LuaAdd3(lua_State* L) {
    const lua_Integer a = luaL_checkinteger(L, 1), b = luaL_checkinteger(L, 2), c = luaL_checkinteger(L, 3);
    lua_pushinteger(L, (a + b + c) % 65536);
    return 1;
}

double TimeLua(const char* source, int repeats) {
    lua_State* L = luaL_newstate();
    luaL_openlibs(L);
    lua_register(L, "Add3", LuaAdd3);
    if (luaL_loadstring(L, source) != LUA_OK) throw std::runtime_error(lua_tostring(L, -1));
    const int chunk = luaL_ref(L, LUA_REGISTRYINDEX);
    const double ms = Best(repeats, [&] {
        lua_rawgeti(L, LUA_REGISTRYINDEX, chunk);
        if (lua_pcall(L, 0, 0, 0) != LUA_OK) throw std::runtime_error(lua_tostring(L, -1));
    });
    lua_close(L);
    return ms;
}

double TimeScript(const char* source, int repeats) {
    qx::TFuncs funcs;
    funcs.Declare("Add3( integer, integer, integer ): integer",
                  [](qx::TObject*, const qx::TArgList& args, qx::TValue& result) {
                      const int64_t sum = int64_t{args.Integer(0)} + args.Integer(1) + args.Integer(2);
                      result.SetInteger(static_cast<int32_t>(sum % 65536));
                  });
    qx::TScript script;
    script.SetFunctions(&funcs);
    script.SetText(source);
    script.Compile();
    // Variables keep their types from run to run, as a brain's do.
    return Best(repeats, [&] { script.Run(); });
}

} // namespace

int main(int argc, char** argv) {
    int repeats = 5;
    int only = 0;
    bool scriptOnly = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--program" && i + 1 < argc) only = std::atoi(argv[++i]);
        else if (arg == "--script-only") scriptOnly = true;
        else if (std::atoi(argv[i]) > 0) repeats = std::atoi(argv[i]);
        else {
            std::fprintf(stderr, "usage: script_bench [REPEATS] [--program N] [--script-only]\n");
            return 2;
        }
    }
    std::printf("%-26s %12s %12s %8s %14s %8s\n", "program", "script ms", "Lua ms", "ratio", "Lua local ms",
                "ratio");
    int number = 0;
    for (const auto& program : kPrograms) {
        if (++number != only && only != 0) continue;
        const double script = TimeScript(program.script, repeats);
        if (scriptOnly) {
            std::printf("%-26s %12.2f\n", program.name, script);
            continue;
        }
        const double lua = TimeLua(program.lua, repeats);
        const double luaLocal = TimeLua(program.luaLocal, repeats);
        std::printf("%-26s %12.2f %12.2f %7.2fx %14.2f %7.2fx\n", program.name, script, lua, script / lua,
                    luaLocal, script / luaLocal);
    }
    return 0;
}
