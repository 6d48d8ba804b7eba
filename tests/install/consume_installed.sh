#!/bin/sh
# Installs the build into a scratch prefix, then builds a C program against
# the installed tree alone, once through pkg-config and once as a CMake
# project with find_package(kvt97), and runs both.
# Arguments: cmake, generator, source dir, build dir, libdir, version, work dir.
set -eu
cmake=$1 generator=$2 source=$3 build=$4 libdir=$5 version=$6 work=$7
here=$source/tests/install
prefix=$work/prefix

fail() {
  echo "FAILED: $*" >&2
  exit 1
}

# A stale tree from an earlier run would hide a file that is no longer installed.
rm -rf "$work"
mkdir -p "$work"
"$cmake" --install "$build" --prefix "$prefix" || fail "cmake --install $build"

# Consumers must see only the installed tree, never the source or build tree.
if grep -rlF -e "$source" -e "$build" "$prefix/$libdir/pkgconfig" "$prefix/$libdir/cmake"; then
  fail "the files above name the source or build tree"
fi

expected="kvt $version
kvtc $version
mid2kvt $version
part slot 384 bytes
song tune.KVT"

# Runs in the scratch folder: the song path is looked up in the working folder.
check_output() {
  actual=$(cd "$work" && LD_LIBRARY_PATH="$prefix/$libdir" "$1") || fail "$1 exited with $?"
  [ "$actual" = "$expected" ] || fail "$1 printed:
$actual
expected:
$expected"
}

export PKG_CONFIG_PATH="$prefix/$libdir/pkgconfig"
flags=$(pkg-config --cflags --libs kvt kvtc mid2kvt) || fail "pkg-config kvt kvtc mid2kvt"
echo "pkg-config: $flags"
# shellcheck disable=SC2086 # pkg-config's flags are separate words
cc -std=c99 -Wall -Wextra -Wpedantic -Werror "$here/consumer.c" $flags -o "$work/pkg-config-consumer" ||
  fail "building against pkg-config's flags"
check_output "$work/pkg-config-consumer"

"$cmake" -S "$here/consumer" -B "$work/cmake-consumer" -G "$generator" -DCMAKE_PREFIX_PATH="$prefix" ||
  fail "configuring a find_package(kvt97) project"
"$cmake" --build "$work/cmake-consumer" || fail "building a find_package(kvt97) project"
check_output "$work/cmake-consumer/consumer"
echo "both consumers built and ran against $prefix"
