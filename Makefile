# The two commands: `make test` builds every preset and runs every test;
# `make demo` shows what the program does on a simulated infected machine.
# Both first install whatever the machine is missing (scripts/setup.sh).

PRESETS := linux linux-asan win32 win64

.PHONY: all setup test demo bench $(addprefix build-,$(PRESETS)) $(addprefix test-,$(PRESETS)) clean

all: test

setup:
	@scripts/setup.sh

# Static pattern rules: make looks for no implicit rule for a phony target,
# so a plain "build-%" rule would never run.
$(addprefix build-,$(PRESETS)): build-%: setup
	cmake --preset $* >/dev/null
	cmake --build --preset $*

$(addprefix test-,$(PRESETS)): test-%: build-%
	ctest --preset $*

test: setup
	@scripts/run-all-tests.sh $(PRESETS)

# The program itself under Wine: the infected profile planted through Wine's
# own shell, cured by Tolvaran.exe from the command line, its report printed.
# (`build/linux/tolvaran-sim tests/scenarios/infected-profile/machine.json`
# shows the same run on the simulated machine.)
demo:
	@scripts/demo.sh

# The performance figures: every benchmark, on the optimised native build.
bench: build-linux
	@for b in build/linux/bench_*; do [ ! -x "$$b" ] || "$$b" || exit 1; done

clean:
	rm -rf build
