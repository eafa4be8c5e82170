# The commands of the README. Each first installs the Debian packages that it
# uses and that are missing (scripts/deps.sh).
.PHONY: demo test bench deploy clean

demo:          ## build (build/demo), then run the demo
	@scripts/demo.sh

test:          ## the whole suite on the release and the ASan+UBSan builds, and trellisk.exe under Wine
	@scripts/test.sh

bench:         ## the benchmarks (build/bench)
	@scripts/bench.sh

deploy:        ## each deliverable for its deployed Python, installed into PREFIX (build/deploy)
	@scripts/deploy.sh $(PREFIX)

clean:
	rm -rf build
