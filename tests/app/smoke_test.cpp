// Starts the real kantelo executable on a real X server (Xvfb): a copy of the program with an
// INI file beside it holding "DE" must show its window under the German title, and a click on
// the close button must end it normally, storing the language again.
#include "support/test_env.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

bool onPath(const std::string& tool) {
    return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0;
}

std::string readAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Runs in the X session: starts the program, waits for its window, checks the exact title,
// then clicks the close button (75 x 25 at 840, 620 of the 708 px high client area, which ends
// at the window's bottom edge) and waits for the program to end.
// Exits with 4 when the X server never answers or is gone before the program could connect
// (Xvfb can go away right after it reported ready).
const char* sessionScript = R"SH(
dir=$1
for i in $(seq 1 100); do
  xdotool getdisplaygeometry >/dev/null 2>&1 && break
  sleep 0.1
done
xdotool getdisplaygeometry >/dev/null 2>&1 || { echo "no X server"; exit 4; }
QT_QPA_PLATFORM=xcb KANTELO_DRIVE_C="$dir/drive_c" "$dir/kantelo" >"$dir/out.txt" 2>&1 &
pid=$!
id=
for i in $(seq 1 200); do
  id=$(xdotool search --name 'Kantelo für Lumora' 2>/dev/null | head -n 1)
  [ -n "$id" ] && break
  if ! kill -0 $pid 2>/dev/null && grep -q "could not connect to display" "$dir/out.txt"; then
    echo "X server gone"; exit 4
  fi
  sleep 0.1
done
if [ -z "$id" ]; then echo "no window"; kill $pid; exit 2; fi
echo "title=$(xdotool getwindowname "$id")"
height=$(xwininfo -id "$id" | awk '/Height:/ {print $2}')
xdotool mousemove --window "$id" 877 $((height - 708 + 632)) click 1
for i in $(seq 1 100); do
  kill -0 $pid 2>/dev/null || break
  sleep 0.1
done
if kill -0 $pid 2>/dev/null; then echo "still running"; kill $pid; exit 3; fi
wait $pid
echo "exit=$?"
)SH";

TEST(Smoke, RealWindowShowsTheStoredLanguageAndClosesFromItsButton) {
    for (const char* tool : {"xvfb-run", "xdotool", "xwininfo"})
        ASSERT_TRUE(onPath(tool)) << tool << " is missing (Debian packages xvfb, xdotool, x11-utils)";
    const fs::path program = test_support::buildDir() / "src" / "app" / "kantelo";
    ASSERT_TRUE(fs::exists(program)) << program;

    test_support::TempDir dir;
    fs::copy_file(program, dir / "kantelo");
    fs::create_directories(dir / "drive_c");
    {
        std::ofstream ini(dir / "kantelo.INI", std::ios::binary);
        // The blank after "=" is read away and dropped by the write at close: the file changes
        // only if the close handler ran.
        ini << "[Window]\r\nx=1\r\n[Settings]\r\nTaal= DE\r\n";
    }

    // A server that does not come up is the machine's trouble, not the program's: try another.
    auto session = [&] {
        return test_support::run({"xvfb-run", "-a", "-e", (dir / "xvfb.txt").string(), "-s", "-screen 0 1280x1024x24",
                                  "bash", "-c", sessionScript, "session", dir.path().string()});
    };
    auto result = session();
    for (int attempt = 1; attempt < 3 && result.exitCode == 4; ++attempt) result = session();
    EXPECT_EQ(result.exitCode, 0) << result.out << result.err << readAll(dir / "out.txt") << readAll(dir / "xvfb.txt");
    EXPECT_NE(result.out.find("title=Kantelo für Lumora\n"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("exit=0\n"), std::string::npos) << result.out;
    EXPECT_EQ(readAll(dir / "kantelo.INI"), "[Window]\r\nx=1\r\n[Settings]\r\nTaal=DE\r\n");
}

} // namespace
