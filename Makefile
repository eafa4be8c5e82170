# The two commands of the README. Both install missing Debian packages first.
.PHONY: demo test bench clean

demo:          ## build, then run the demo
	scripts/demo.sh

test:          ## the whole suite on the release and the ASan+UBSan builds, and trellisk.exe under Wine
	scripts/test.sh

bench:         ## the benchmarks (release build)
	scripts/bench.sh

clean:
	rm -rf build
