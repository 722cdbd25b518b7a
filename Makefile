# The two entry points of the README: `make run` and `make test`. Everything else is a step of them.
BUILD ?= build
SANITIZE_BUILD ?= $(BUILD)-sanitize
FUZZ_BUILD ?= $(BUILD)-fuzz
FUZZ_SECONDS ?= 60
# The application folder of `make run`: the sample data, beside the build folder so that `make clean` never
# takes what was typed into it.
APP   := sample-shop
JOBS  ?= $(shell nproc)
CMAKE_BUILD_TYPE ?= RelWithDebInfo

.PHONY: run test test-sanitized test-fuzz deps configure build app package check-package bench clean format format-check

deps:
	@bash tools/deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=$(CMAKE_BUILD_TYPE) -DTSUMIKI_WERROR=$(if $(CI),ON,OFF) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

# The application folder: the program, its data tables and workbook templates (each copied only when missing, so a
# shop's own are never overwritten) and the output folder.
app: build
	@mkdir -p "$(APP)/DB" "$(APP)/excelテンプレート" "$(APP)/出力帳票"
	@cp -f $(BUILD)/bin/tsumiki "$(APP)/tsumiki"
	@for f in data/DB/*.csv; do \
	    t="$(APP)/DB/$$(basename "$$f")"; [ -e "$$t" ] || cp "$$f" "$$t"; \
	done
	@for f in $(BUILD)/share/tsumiki/excelテンプレート/*.xls; do \
	    t="$(APP)/excelテンプレート/$$(basename "$$f")"; [ -e "$$t" ] || cp "$$f" "$$t"; \
	done
	@echo "Application folder: $(APP)"

run: app
	@cd "$(APP)" && ./tsumiki

test: format-check build test-sanitized test-fuzz
	@cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)
	@$(MAKE) --no-print-directory check-package

# The Debian package tsumiki_<version>_amd64.deb in the build folder, packed by CPack from the install rules.
DEB = $(BUILD)/tsumiki_$(shell sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")/\1/p' $(BUILD)/CPackConfig.cmake)_amd64.deb
package: build
	@cd $(BUILD) && cpack -G DEB >/dev/null
	@echo "Package: $(DEB)"

# The package's validators and a first start of the unpacked program; nothing is installed.
check-package: package
	@bash tools/check-package.sh $(DEB)

# The tests of the table store, the grid model and the editors' checks once more under AddressSanitizer and
# UndefinedBehaviorSanitizer, in a build folder of their own holding only the libraries and tests they need.
test-sanitized: deps
	@cmake -S . -B $(SANITIZE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTSUMIKI_SANITIZE=ON \
	    -DTSUMIKI_WERROR=$(if $(CI),ON,OFF) >/dev/null
	@cmake --build $(SANITIZE_BUILD) --target sanitized_tests -j $(JOBS)
	@cd $(SANITIZE_BUILD) && ctest -L 'store|sanitized' --output-on-failure -j $(JOBS)

# A bounded run of the coverage-guided fuzzer (clang's libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer) over
# the table reader and the date readers, from the seeds in tests/fuzz/corpus; what it learns stays in the build folder.
test-fuzz: deps
	@CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTSUMIKI_FUZZ=ON \
	    -DTSUMIKI_SANITIZE=ON >/dev/null
	@cmake --build $(FUZZ_BUILD) --target fuzz_tables -j $(JOBS)
	@mkdir -p $(FUZZ_BUILD)/corpus
	@$(FUZZ_BUILD)/tests/fuzz/fuzz_tables -max_total_time=$(FUZZ_SECONDS) -timeout=10 -rss_limit_mb=2048 \
	    -print_final_stats=1 -artifact_prefix=$(FUZZ_BUILD)/ $(FUZZ_BUILD)/corpus tests/fuzz/corpus \
	    >$(FUZZ_BUILD)/fuzz.log 2>&1 || { tail -n 60 $(FUZZ_BUILD)/fuzz.log; exit 1; }
	@grep -E '^(Done|stat::number_of_executed_units)' $(FUZZ_BUILD)/fuzz.log

bench: build
	@bash bench/run.sh $(BUILD)

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

# Fails, naming the files, when `make format` would change anything.
format-check: deps
	@bash tools/check-format.sh

# An application folder that an earlier `make run` left in the build folder may hold typed data: it is never
# deleted with the build.
clean:
	@if [ -d "$(BUILD)/app/DB" ]; then \
	    echo "$(BUILD)/app holds the data of an earlier make run; move it out of $(BUILD) first." >&2; exit 1; fi
	@rm -rf $(BUILD) $(SANITIZE_BUILD) $(FUZZ_BUILD)
