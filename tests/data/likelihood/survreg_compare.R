# Life data where every unit's exit age is known: survreg's Weibull fit beside
# the inputs model 3 reads (the failures, the fleet and the empirical law of
# all exit ages). Writes life.txt (failure data file) and life_gar.txt
# (warranty-end times) beside this script and prints survreg's figures.
#
#   Rscript survreg_compare.R
suppressMessages(library(survival))
args <- commandArgs(trailingOnly = FALSE)
here <- dirname(normalizePath(sub("^--file=", "", args[grep("^--file=", args)])))
set.seed(2024)
N <- 400
exit <- round(pmax(1, rnorm(N, 3000, 700)), 1)
life <- round(rweibull(N, 1.3, 9000), 1)
time <- pmin(life, exit)
status <- as.integer(life <= exit)
fit <- survreg(Surv(time, status) ~ 1, dist = "weibull")
A <- 1 / fit$scale
B <- exp(coef(fit)[[1]])
ci <- confint(fit)  # Wald interval of the log scale
cat(sprintf("units %d, failures %d\n", N, sum(status)))
cat(sprintf("survreg: A = %.4f, B = %.1f h, logLik = %.4f\n", A, B, as.numeric(logLik(fit))))
cat(sprintf("survreg: B 95%% Wald interval %.1f .. %.1f h\n", exp(ci[1]), exp(ci[2])))
cat(sprintf("survreg: 10%% life %.1f h\n", qweibull(0.1, A, B)))
fails <- sort(time[status == 1])
lines <- c("Срок службы, все возрасты выхода известны", "3000", "700", as.character(N),
           as.character(length(fails)), "1", "Узел", paste0(format(fails, nsmall = 1, trim = TRUE), "\tУзел"))
writeLines(iconv(lines, from = "UTF-8", to = "CP1251"), file.path(here, "life.txt"), useBytes = TRUE)
writeLines(c("Времена окончания гарантии", format(exit, nsmall = 1, trim = TRUE)), file.path(here, "life_gar.txt"))
