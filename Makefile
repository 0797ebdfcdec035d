# Front door over the CMake presets.
.PHONY: deps run test

deps:
	scripts/install-deps

# Builds the release programs and lists a freshly made sample image.
run: deps
	cmake --preset release
	cmake --build --preset release
	scripts/run-sample build/release

# Builds and runs every test, in the release and the sanitizer builds.
test: deps
	cmake --preset release
	cmake --build --preset release
	ctest --preset release
	cmake --preset asan
	cmake --build --preset asan
	ctest --preset asan
