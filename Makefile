# meshshade: `make run` starts the viewer, `make test` runs every test.
# Both install what is missing and build first.

BUILD := build
SANITIZE_BUILD := build-sanitize
# WERROR=ON turns compiler warnings into errors (CI does).
WERROR ?= OFF
CONFIGURE := cmake -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMESHSHADE_WERROR=$(WERROR)
# Freed memory is held back only briefly and handed back to the system soon, so
# resident memory tells leaks from the allocator's reserves; the test shims are
# preloaded in front of the sanitizer runtime.
# Leak checking is on for the unit tests only (tests/CMakeLists.txt): processes
# with an OpenGL context end with allocations of the driver, which is unloaded
# before the check and cannot be told apart.
ASAN_OPTIONS := quarantine_size_mb=16:allocator_release_to_os_interval_ms=500:verify_asan_link_order=0:detect_leaks=0
FUZZ_BUILD := build-fuzz
FUZZ_SECONDS ?= 60

# make install: PREFIX/bin/meshshade and PREFIX/share/meshshade/. INSTALL_RECORD
# lists what it installed, for make uninstall.
PREFIX ?= /usr/local
INSTALL_RECORD ?= $(BUILD)/installed-files.txt

.PHONY: run test deps build test-sanitize fuzz bench soak check-format install uninstall deb

deps:
	@scripts/install-deps

build: deps
	@$(CONFIGURE) -S . -B $(BUILD) >/dev/null
	@cmake --build $(BUILD)

# Fails on a C or C++ file that .clang-format would change.
check-format: deps
	@scripts/check-format

# make run MODEL=path/to/model.ply shows your own model first.
run: build
	@scripts/run-viewer $(BUILD) $(MODEL)

# Installs what the last build made; it does not build, so that `sudo make install`
# leaves no files of root's in the build folder. CMake writes its manifest into
# the build folder on every install: it is moved to INSTALL_RECORD at once.
install:
	@[ -x $(BUILD)/run/meshshade ] || { echo "make install: nothing built in $(BUILD)/; run make build first" >&2; exit 1; }
	@cmake --install $(BUILD) --prefix $(PREFIX)
	@mv -f $(BUILD)/install_manifest.txt $(INSTALL_RECORD)

# Removes every file make install listed, then meshshade's own folders
# (share/meshshade/, share/doc/meshshade/) if empty; shared ones such as
# share/applications/ stay. The record names the files without DESTDIR: give
# the same DESTDIR.
uninstall:
	@[ -f $(INSTALL_RECORD) ] || { echo "make uninstall: no $(INSTALL_RECORD); nothing was installed from $(BUILD)/" >&2; exit 1; }
	@sed 's|^|$(DESTDIR)|' $(INSTALL_RECORD) | xargs -d '\n' rm -fv
	@sed -n 's|^\(.*/share/\(doc/\)\{0,1\}meshshade\)/.*|$(DESTDIR)\1|p' $(INSTALL_RECORD) | sort -u | \
	  while read -r dir; do find "$$dir" -depth -type d -empty -delete 2>/dev/null || true; done
	@rm -f $(INSTALL_RECORD)

# meshshade_<version>_<arch>.deb in this folder, made by cpack from the build;
# install it with: sudo apt install ./meshshade_*.deb
deb: build
	@rm -rf $(BUILD)/deb && rm -f meshshade_*.deb
	@cd $(BUILD) && cpack -G DEB -B deb >/dev/null
	@mv $(BUILD)/deb/meshshade_*.deb .
	@echo "Made $$(ls meshshade_*.deb); install it with: sudo apt install ./$$(ls meshshade_*.deb)"

test: build
	@cd $(BUILD) && ctest --output-on-failure --parallel 2 --timeout 300

# The whole suite again, built with AddressSanitizer and UndefinedBehaviorSanitizer.
test-sanitize: deps
	@$(CONFIGURE) -DMESHSHADE_SANITIZE=ON -S . -B $(SANITIZE_BUILD) >/dev/null
	@cmake --build $(SANITIZE_BUILD)
	@cd $(SANITIZE_BUILD) && ASAN_OPTIONS=$(ASAN_OPTIONS) UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --output-on-failure --parallel 2 --timeout 600

# A long soak of the sanitized viewer: make soak SOAK_SECONDS=1800
SOAK_SECONDS ?= 1800
soak: deps
	@$(CONFIGURE) -DMESHSHADE_SANITIZE=ON -S . -B $(SANITIZE_BUILD) >/dev/null
	@cmake --build $(SANITIZE_BUILD) --target soak_test meshshade run_files
	@cd $(SANITIZE_BUILD) && SOAK_SECONDS=$(SOAK_SECONDS) ASAN_OPTIONS=$(ASAN_OPTIONS) \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 tests/soak_test

# CPU per frame of the viewer against a lean reference per mesh, .m reading
# against a bare parse, start-up and memory at rest, the first frame with a
# 1,000,000-face model of the user's and the importer process's cost, as tables
# (a few minutes).
bench: build
	@cmake --build $(BUILD) --target mesh_read_bench frame_rate_bench lean_viewer
	@scripts/bench-table $(BUILD)
	@cmake --build $(BUILD) --target model_first_frame_bench import_boundary_bench
	@scripts/bench-model $(BUILD)

# Fuzzes the .m reader, then image loading, then the model import, for
# FUZZ_SECONDS each, with clang, ASan and UBSan. New inputs collect in
# build-fuzz/<target>-corpus; a crashing input is saved in build-fuzz/. The
# image seeds are one small file of each format, written by make_image_seeds;
# the model seeds are the tests' small files, written by write_model_seeds, and
# assimp's small test models of the common formats when assimp-testmodels is installed.
fuzz: deps
	@CC=clang CXX=clang++ $(CONFIGURE) -S . -B $(FUZZ_BUILD) >/dev/null
	@cmake --build $(FUZZ_BUILD) --target mesh_reader_fuzz image_fuzz make_image_seeds
	@mkdir -p $(FUZZ_BUILD)/fuzz-corpus $(FUZZ_BUILD)/fuzz-data $(FUZZ_BUILD)/image-corpus $(FUZZ_BUILD)/image-seeds
	@for f in data/*.m; do if [ -f "$$f" ]; then cp "$$f" $(FUZZ_BUILD)/fuzz-data/; fi; done
	@$(FUZZ_BUILD)/tests/mesh_reader_fuzz -max_total_time=$(FUZZ_SECONDS) -max_len=16384 \
	  -dict=tests/fuzz/mesh.dict -close_fd_mask=3 -artifact_prefix=$(FUZZ_BUILD)/ \
	  $(FUZZ_BUILD)/fuzz-corpus tests/fuzz/corpus $(FUZZ_BUILD)/fuzz-data
	@$(FUZZ_BUILD)/tests/make_image_seeds $(FUZZ_BUILD)/image-seeds
	@$(FUZZ_BUILD)/tests/image_fuzz -max_total_time=$(FUZZ_SECONDS) -max_len=65536 \
	  -dict=tests/fuzz/image.dict -close_fd_mask=3 -artifact_prefix=$(FUZZ_BUILD)/image- \
	  $(FUZZ_BUILD)/image-corpus $(FUZZ_BUILD)/image-seeds
	@cmake --build $(FUZZ_BUILD) --target model_import_fuzz write_model_seeds
	@mkdir -p $(FUZZ_BUILD)/model-corpus $(FUZZ_BUILD)/model-seeds
	@$(FUZZ_BUILD)/tests/write_model_seeds $(FUZZ_BUILD)/model-seeds \
	  $$(find $(addprefix /usr/share/assimp/models/,OBJ PLY STL glTF2 Collada FBX 3DS OFF) -type f -size -65k 2>/dev/null)
	@# assimp leaks a few KiB on some broken files, which it is not ours to mend:
	@# the model fuzzer looks for crashes and hangs
	@ASAN_OPTIONS=detect_leaks=0 $(FUZZ_BUILD)/tests/model_import_fuzz -max_total_time=$(FUZZ_SECONDS) -max_len=65536 -timeout=20 -detect_leaks=0 \
	  -rss_limit_mb=4096 -close_fd_mask=3 -artifact_prefix=$(FUZZ_BUILD)/model- \
	  $(FUZZ_BUILD)/model-corpus $(FUZZ_BUILD)/model-seeds
