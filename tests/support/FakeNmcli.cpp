#include "support/FakeNmcli.h"

#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace zorvik::test {
namespace {

constexpr const char* kScript = R"SH(#!/bin/sh
d=$(cd "$(dirname "$0")/.." && pwd)
printf '%s\n' "$*" >> "$d/log"
watched() {
  w=$(cat "$d/watch" 2>/dev/null)
  if [ -n "$w" ] && [ -s "$w" ]; then s=filled; else s=empty; fi
  echo "watched: $s" >> "$d/log"
}
known() { grep -q "^$1:" "$d/known" 2>/dev/null; }
[ -f "$d/manager-down" ] && { echo "Error: NetworkManager is not running." >&2; exit 8; }
field=""
while [ $# -gt 0 ]; do
  case "$1" in
    -t) shift ;;
    -f|-g) field="$2"; shift 2 ;;
    *) break ;;
  esac
done
[ "$1" = connection ] || exit 2
case "$2" in
  show)
    if [ "$3" = --active ]; then
      [ -f "$d/list-fails" ] && exit 1
      cat "$d/active" 2>/dev/null
      exit 0
    fi
    name="$4"
    known "$name" || { echo "Error: $name - no such connection profile." >&2; exit 10; }
    if [ "$field" = connection.type ]; then grep "^$name:" "$d/known" | cut -d: -f2; exit 0; fi
    polls=$(cat "$d/polls" 2>/dev/null || echo 0)
    echo $((polls + 1)) > "$d/polls"
    if [ -f "$d/drops" ] && [ "$polls" -ge 1 ]; then echo deactivated; exit 0; fi
    if grep -qx "$name" "$d/active" 2>/dev/null; then echo activated; else echo activating; fi
    exit 0 ;;
  up)
    name="$4"
    known "$name" || { echo "Error: unknown connection '$name'." >&2; exit 10; }
    watched
    [ "$5" = passwd-file ] && echo "passwd-file: $(cat "$6")" >> "$d/log"
    want=$(cat "$d/activating-polls" 2>/dev/null || echo 0)
    [ -f "$d/drops" ] && want=1000000
    i=0
    while [ "$(cat "$d/polls" 2>/dev/null || echo 0)" -lt "$want" ] && [ $i -lt 1000 ]; do
      sleep 0.01
      i=$((i + 1))
    done
    [ -f "$d/up-fails" ] && { cat "$d/up-fails" >&2; exit 4; }
    echo "$name" >> "$d/active"
    echo "Connection successfully activated"
    exit 0 ;;
  down)
    name="$4"
    watched
    grep -vx "$name" "$d/active" > "$d/active.new" 2>/dev/null
    mv "$d/active.new" "$d/active"
    exit 0 ;;
esac
exit 2
)SH";

std::vector<std::string> linesOf(const std::string& path) {
  std::ifstream in(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

}  // namespace

FakeNmcli::FakeNmcli() {
  ::mkdir(dir_.file("bin").c_str(), 0755);
  std::ofstream(program()) << kScript;
  ::chmod(program().c_str(), 0755);
  touch("active");
  touch("known");
}

std::string FakeNmcli::program() const { return dir_.file("bin/nmcli"); }

std::string FakeNmcli::pathVariable() const {
  const char* path = std::getenv("PATH");
  return dir_.file("bin") + ":" + (path ? path : "/usr/bin:/bin");
}

void FakeNmcli::touch(const std::string& name, const std::string& content) const {
  std::ofstream(dir_.file(name), std::ios::app) << content;
}

void FakeNmcli::addProfile(const std::string& name, const std::string& type) const {
  touch("known", name + ":" + type + "\n");
}
void FakeNmcli::setActive(const std::string& name) const { touch("active", name + "\n"); }
void FakeNmcli::setActivatingPolls(int polls) const {
  std::ofstream(dir_.file("activating-polls")) << polls;
}
void FakeNmcli::setManagerDown() const { touch("manager-down"); }
void FakeNmcli::setListFails() const { touch("list-fails"); }
void FakeNmcli::setUpFails(const std::string& text) const { touch("up-fails", text + "\n"); }
void FakeNmcli::setDrops() const { touch("drops"); }
void FakeNmcli::watch(const std::string& path) const { std::ofstream(dir_.file("watch")) << path; }

std::vector<std::string> FakeNmcli::log() const { return linesOf(dir_.file("log")); }
std::vector<std::string> FakeNmcli::active() const { return linesOf(dir_.file("active")); }

}  // namespace zorvik::test
