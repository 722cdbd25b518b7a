# The two entry points of the README: `make run` and `make test`. Everything else is a step of them.
BUILD ?= build
SANITIZE_BUILD ?= $(BUILD)-sanitize
APP   := $(BUILD)/app
JOBS  ?= $(shell nproc)
CMAKE_BUILD_TYPE ?= RelWithDebInfo

.PHONY: run test test-sanitized deps configure build app bench clean format format-check

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
	@cp -f $(BUILD)/src/app/tsumiki "$(APP)/tsumiki"
	@for f in data/DB/*.csv; do \
	    t="$(APP)/DB/$$(basename "$$f")"; [ -e "$$t" ] || cp "$$f" "$$t"; \
	done
	@for f in $(BUILD)/templates/*.xls; do \
	    t="$(APP)/excelテンプレート/$$(basename "$$f")"; [ -e "$$t" ] || cp "$$f" "$$t"; \
	done
	@echo "Application folder: $(APP)"

run: app
	@cd "$(APP)" && ./tsumiki

test: format-check build test-sanitized
	@cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# The tests of the table store, the grid model and the editors' checks once more under AddressSanitizer and
# UndefinedBehaviorSanitizer, in a build folder of their own holding only the libraries and tests they need.
test-sanitized: deps
	@cmake -S . -B $(SANITIZE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTSUMIKI_SANITIZE=ON \
	    -DTSUMIKI_WERROR=$(if $(CI),ON,OFF) >/dev/null
	@cmake --build $(SANITIZE_BUILD) --target sanitized_tests -j $(JOBS)
	@cd $(SANITIZE_BUILD) && ctest -L 'store|sanitized' --output-on-failure -j $(JOBS)

bench: build
	@bash bench/run.sh $(BUILD)

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

# Fails, naming the files, when `make format` would change anything.
format-check: deps
	@bash tools/check-format.sh

clean:
	@rm -rf $(BUILD) $(SANITIZE_BUILD)
