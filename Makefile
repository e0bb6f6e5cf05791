# The two commands of the README. Both install what is missing first.
RELEASE_DIR := build/release
TEST_DIR := build/test
BENCH_DIR := build/bench
FUZZ_DIR := build/fuzz
CMAKE_GEN := -G Ninja

.PHONY: run test deps release package bench fuzz clean

deps:
	@bash tools/install-deps.sh

release: deps
	@cmake -S . -B $(RELEASE_DIR) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DQUIZMORA_TESTS=OFF >/dev/null
	@cmake --build $(RELEASE_DIR)

# A Debian package of the release build, in build/release.
package: release
	@cd $(RELEASE_DIR) && cpack -G DEB

run: release
	@bash tools/run-game.sh $(RELEASE_DIR)

test: deps
	@cmake -S . -B $(TEST_DIR) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DQUIZMORA_SANITIZE=ON >/dev/null
	@cmake --build $(TEST_DIR)
	@cd $(TEST_DIR) && ctest --output-on-failure -j2

bench: deps
	@cmake -S . -B $(BENCH_DIR) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DQUIZMORA_TESTS=OFF -DQUIZMORA_BENCH=ON >/dev/null
	@cmake --build $(BENCH_DIR)
	@bash tools/run-benchmarks.sh $(BENCH_DIR)

fuzz: deps
	@CC=clang CXX=clang++ cmake -S . -B $(FUZZ_DIR) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUIZMORA_SANITIZE=ON -DQUIZMORA_FUZZ=ON -DQUIZMORA_TESTS=OFF -DQUIZMORA_WITH_QT=OFF >/dev/null
	@cmake --build $(FUZZ_DIR)
	@echo "Fuzz targets are in $(FUZZ_DIR)/fuzz; run one as: $(FUZZ_DIR)/fuzz/NAME fuzz/corpus/NAME -max_total_time=600"

clean:
	rm -rf build
