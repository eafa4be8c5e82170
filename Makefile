# The commands of the README. Each first installs the Debian packages that it
# uses and that are missing (scripts/deps.sh).
.PHONY: demo test bench deploy clean

demo:          ## build (build/demo), then run the demo
	@scripts/demo.sh

test:          ## the whole suite on the release and the ASan+UBSan builds, and trellisk.exe under Wine
	@scripts/test.sh

bench:         ## the benchmarks (build/bench)
	@scripts/bench.sh

# PREFIX reaches scripts/deploy.sh as one argument whatever it holds (blanks, quotes,
# $): make hands its unexpanded value over in the environment, and the shell quotes it.
deploy: export KORVANE_DEPLOY_PREFIX = $(value PREFIX)
deploy:        ## each deliverable for its deployed Python, installed into PREFIX (build/deploy)
	@scripts/deploy.sh $(if $(value PREFIX),"$$KORVANE_DEPLOY_PREFIX")

clean:
	rm -rf build
