# The two commands of the README: `make run` and `make test`. Both install what is
# missing from Debian's packages first, so they work on a fresh Debian 12 machine.

.PHONY: all deps build build-asan build-tsan test test-release test-asan test-tsan run bench format clean install package

# Where `make install` puts Tapwright (PREFIX/bin, PREFIX/share/...); DESTDIR, when
# set, is put in front as usual.
PREFIX ?= /usr/local

all: build

deps:
	@bash tools/install-deps.sh

build: deps
	cmake --preset release
	cmake --build --preset release

build-asan: deps
	cmake --preset asan
	cmake --build --preset asan

# Only the tests whose code runs on several threads (label "threads"), and only the
# targets they need.
build-tsan: deps
	cmake --preset tsan
	cmake --build --preset tsan

test-release: build
	ctest --preset release

test-asan: build-asan
	ctest --preset asan

test-tsan: build-tsan
	ctest --preset tsan

# The suite runs twice, a normal build and an address+undefined sanitizer build; the
# tests with threads run a third time under the thread sanitizer.
test: test-release test-asan test-tsan

install: build
	cmake --install build --prefix $(PREFIX)

# The Debian package, build/tapwright_VERSION_ARCH.deb (CPack's DEB generator).
package: build
	@bash tools/install-deps.sh package
	cd build && cpack -G DEB

run: build
	@bash tools/run.sh

bench: build
	./build/bin/tapwright-bench
	./build/bin/tapwright-window-bench
	bash bench/report_memory.sh
	bash bench/picture_memory.sh
	/usr/bin/python3 bench/minimax_vs_scipy.py ./build/bin/tapwright-minimax-bench

format:
	@git ls-files '*.h' '*.cpp' | xargs clang-format -i

clean:
	rm -rf build build-asan build-tsan
