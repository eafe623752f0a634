# Independent figures for the maximum-likelihood model: the same
# log-likelihood written in R, maximised with optim, its integrals by
# integrate (normal warranty law) or as the exact sum over the steps of the
# empirical law, and profile-likelihood bounds found with optimize/optim and
# uniroot, without a box on the parameters: a bound the profile does not reach
# within e^60 of the estimate is NA (an open side). The observation runs to the
# end of the warranty law (normal: where the share still under warranty falls
# below 1e-12; empirical: the last warranty-end time). Writes golden.csv
# beside this script.
#
#   Rscript likelihood_golden.R
#
# Each data set is a failure data file (Windows-1251) and, for the empirical
# law, its warranty-end times file.

args <- commandArgs(trailingOnly = FALSE)
here <- dirname(normalizePath(sub("^--file=", "", args[grep("^--file=", args)])))

read_data <- function(path) {
  lines <- iconv(readLines(path, warn = FALSE), from = "CP1251", to = "UTF-8")
  num <- function(s) as.numeric(gsub(",", ".", trimws(s)))
  sred <- num(lines[2]); sko <- num(lines[3]); fleet <- num(lines[4])
  declared <- num(lines[5]); ncauses <- num(lines[6])
  recs <- lines[(7 + ncauses):length(lines)]
  recs <- recs[nchar(trimws(recs)) > 0]
  times <- num(sub("[\t ].*$", "", recs))
  share <- if (length(times) > declared) 1 else length(times) / declared
  list(times = sort(times), sred = sred, sko = sko, N = fleet * share,
       Tz = sred + qnorm(1e-12, lower.tail = FALSE) * sko)
}

read_exits <- function(path) {
  lines <- readLines(path, warn = FALSE)[-1]
  sort(as.numeric(lines[nchar(trimws(lines)) > 0]))
}

# where the arithmetic, not the data, ends
AMIN <- 0.005; AMAX <- 500; BMIN <- 1e-3; BMAX <- 1e30; KMAX <- 1e12
REACH <- 60

make_model <- function(d, law, exits = NULL) {
  if (law != "normal") d$Tz <- max(exits)
  t <- d$times[d$times > 0 & d$times <= d$Tz]
  n <- length(t)
  if (law == "normal") {
    G <- function(x) pnorm(x, d$sred, d$sko, lower.tail = FALSE)
    integral <- function(A, B, upper = d$Tz)
      tryCatch(integrate(function(x) dweibull(x, A, B) * G(x), 0, upper, rel.tol = 1e-11,
                         subdivisions = 2000L)$value, error = function(e) NaN)
  } else {
    G <- function(x) sapply(x, function(v) mean(exits > v))
    integral <- function(A, B, upper = d$Tz) mean(pweibull(pmin(exits, upper), A, B))
  }
  sumlogG <- sum(log(G(t)))
  dens <- function(A, B) sum(dweibull(t, A, B, log = TRUE))
  once <- function(A, B) dens(A, B) + sumlogG + (d$N - n) * log1p(-integral(A, B))
  free <- function(A, B, K) n * log(d$N * K) + dens(A, B) + sumlogG - d$N * K * integral(A, B)
  khat <- function(A, B) n / (d$N * integral(A, B))
  list(n = n, once = once, free = free, khat = khat, N = d$N)
}

# ln L at (A, B) with K = 1 or at its closed form
ll_ab <- function(m, mode, A, B) {
  if (A < AMIN || A > AMAX || B < BMIN || B > BMAX) return(-1e300)
  if (mode == "once") m$once(A, B) else m$free(A, B, m$khat(A, B))
}

safe <- function(v) if (length(v) == 1 && is.finite(v)) v else -1e300

fit <- function(m, mode) {
  f <- function(p) -safe(ll_ab(m, mode, exp(p[1]), exp(p[2])))
  best <- NULL
  for (a0 in log(c(0.5, 1, 2))) for (b0 in log(c(1e3, 1e4, 1e5))) {
    r <- optim(c(a0, b0), f, method = "Nelder-Mead", control = list(reltol = 1e-14, maxit = 5000))
    if (is.null(best) || r$value < best$value) best <- r
  }
  r <- optim(best$par, f, method = "BFGS", control = list(reltol = 1e-15, maxit = 1000))
  if (r$value > best$value) r <- best
  A <- exp(r$par[1]); B <- exp(r$par[2])
  K <- if (mode == "once") 1 else m$khat(A, B)
  list(A = A, B = B, K = K, ll = -r$value)
}

probs <- c(T10 = 0.1, T20 = 0.2, T50 = 0.5)
hours <- c(F1000 = 1000, F2000 = 2000, F4000 = 4000)

figure <- function(name, A, B, K) {
  if (name == "A") return(A)
  if (name == "B") return(B)
  if (name == "K_powtor") return(K)
  if (name %in% names(probs)) return(if (probs[[name]] / K < 1) qweibull(probs[[name]] / K, A, B) else NaN)
  K * pweibull(hours[[name]], A, B)
}

# max over the shape of ln L with ln B = alpha - L / A (B inside its range)
over_shape <- function(m, mode, alpha, L, K) {
  f <- function(a) {
    A <- exp(a); lb <- alpha - L / A
    if (lb < log(BMIN) || lb > log(BMAX)) return(-1e300)
    if (mode == "once") safe(m$once(A, exp(lb))) else safe(m$free(A, exp(lb), K))
  }
  grid <- seq(log(AMIN), log(AMAX), length.out = 25)
  v <- sapply(grid, f)
  i <- which.max(v)
  lo <- grid[max(1, i - 1)]; hi <- grid[min(25, i + 1)]
  max(v[i], optimize(f, c(lo, hi), maximum = TRUE, tol = 1e-12)$objective)
}

# max of f over [lo, hi]: the best of a grid, refined by optimize between its
# neighbours (a plain optimize over so wide a range can settle in a shoulder)
grid_max <- function(f, lo, hi, points = 60) {
  grid <- seq(lo, hi, length.out = points)
  v <- sapply(grid, f)
  i <- which.max(v)
  max(v[i], optimize(f, c(grid[max(1, i - 1)], grid[min(points, i + 1)]), maximum = TRUE,
                     tol = 1e-12)$objective)
}

profile <- function(m, mode, name, value) {
  if (name == "A")
    return(grid_max(function(b) safe(ll_ab(m, mode, value, exp(b))), log(BMIN), log(BMAX)))
  if (name == "B")
    return(grid_max(function(a) safe(ll_ab(m, mode, exp(a), value)), log(AMIN), log(AMAX)))
  if (name == "K_powtor") {
    f <- function(p) {
      if (p[1] < log(AMIN) || p[1] > log(AMAX) || p[2] < log(BMIN) || p[2] > log(BMAX)) return(1e300)
      -safe(m$free(exp(p[1]), exp(p[2]), value))
    }
    r <- optim(c(0, log(5000)), f, control = list(reltol = 1e-14, maxit = 5000))
    r <- optim(r$par, f, method = "BFGS", control = list(reltol = 1e-15))
    return(-r$value)
  }
  at_k <- function(K) {
    if (name %in% names(probs)) {
      if (probs[[name]] / K >= 1) return(-1e300)
      alpha <- log(value); c <- -log1p(-probs[[name]] / K)
    } else {
      share <- value / K
      if (share >= 1) return(-1e300)
      alpha <- log(hours[[name]]); c <- -log1p(-share)
    }
    over_shape(m, mode, alpha, log(c), K)
  }
  if (mode == "once") return(at_k(1))
  # K above the figure's own share: a percentile exists only there
  kmin <- if (name %in% names(probs)) probs[[name]] else value
  grid <- seq(log(kmin) + 1e-9, log(KMAX), length.out = 40)
  v <- sapply(grid, function(k) at_k(exp(k)))
  i <- which.max(v)
  max(v[i], optimize(function(k) at_k(exp(k)), c(grid[max(1, i - 1)], grid[min(40, i + 1)]),
                     maximum = TRUE, tol = 1e-10)$objective)
}

bound <- function(m, mode, name, est, ll, dir, level = 0.95) {
  thr <- ll - qchisq(level, 1) / 2
  g <- function(x) profile(m, mode, name, exp(x)) - thr
  if (!is.finite(est)) return(NA)
  x0 <- log(est); step <- 0.02; inside <- x0
  repeat {
    x <- x0 + dir * min(step, REACH)
    if (g(x) <= 0) return(exp(uniroot(g, sort(c(inside, x)), tol = 1e-12)$root))
    if (step >= REACH) return(NA)
    inside <- x; step <- step * 2
  }
}

# causes_forecast_golden.R sources this file for its functions only
if (!exists("GOLDEN_FUNCTIONS_ONLY")) {
  sets <- list(
    list(name = "once_normal", file = "once_normal.txt", law = "normal", mode = "once"),
    list(name = "free_normal", file = "free_normal.txt", law = "normal", mode = "free"),
    list(name = "once_empirical", file = "once_empirical.txt", gar = "once_empirical_gar.txt",
         law = "empirical", mode = "once"),
    list(name = "free_empirical", file = "free_empirical.txt", gar = "free_empirical_gar.txt",
         law = "empirical", mode = "free"))

  rows <- list()
  for (s in sets) {
    d <- read_data(file.path(here, s$file))
    exits <- if (is.null(s$gar)) NULL else read_exits(file.path(here, s$gar))
    m <- make_model(d, s$law, exits)
    e <- fit(m, s$mode)
    rows[[length(rows) + 1]] <- data.frame(set = s$name, figure = "loglik", estimate = e$ll,
                                           lower = NA, upper = NA)
    names_ <- c("A", "B", if (s$mode == "free") "K_powtor", names(probs), names(hours))
    for (nm in names_) {
      est <- figure(nm, e$A, e$B, e$K)
      lo <- bound(m, s$mode, nm, est, e$ll, -1)
      hi <- bound(m, s$mode, nm, est, e$ll, +1)
      rows[[length(rows) + 1]] <- data.frame(set = s$name, figure = nm, estimate = est, lower = lo, upper = hi)
      cat(s$name, nm, format(est, digits = 10), format(lo, digits = 10), format(hi, digits = 10), "\n")
    }
  }
  out <- do.call(rbind, rows)
  write.csv(out, file.path(here, "golden.csv"), row.names = FALSE, quote = FALSE)
}
