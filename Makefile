# Front door over the CMake presets.
.PHONY: deps run test

deps:
	scripts/install-deps

# Builds the release programs, writes a table on a fresh sample image with
# the editor, and lists it.
run: deps
	cmake --preset release
	cmake --build --preset release
	scripts/run-sample build/release

# Builds and runs every test, in the release and the sanitizer builds, then
# fuzzes the editor for 20 seconds.
test: deps
	cmake --preset release
	cmake --build --preset release
	ctest --preset release
	cmake --preset asan
	cmake --build --preset asan
	ctest --preset asan
	scripts/fuzz-editor 20
