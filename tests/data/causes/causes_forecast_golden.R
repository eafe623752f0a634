# Independent figures for model 3 by cause and for the warranty forecast,
# written with the likelihood of likelihood_golden.R (sourced for its
# functions): per cause, K free, the fit with optim and profile bounds of A, B,
# K and the failures per product at 1000, 2000, 4000 h; the test of one shape
# for all causes; and the forecast for a new fleet of M products under a normal
# warranty law: E(t) = M K integral of f G_new, its profile-likelihood bounds,
# and the prediction interval that mixes the count's law (Poisson with K free,
# binomial with K = 1) over the E at the five Gauss-Hermite nodes of the
# profile's signed root. Writes golden_causes.csv and golden_forecast.csv and
# the simulated fleet fleet3.txt beside this script.
#
#   Rscript causes_forecast_golden.R

args <- commandArgs(trailingOnly = FALSE)
here <- dirname(normalizePath(sub("^--file=", "", args[grep("^--file=", args)])))
GOLDEN_FUNCTIONS_ONLY <- TRUE
source(file.path(here, "..", "likelihood", "likelihood_golden.R"))
here <- dirname(normalizePath(sub("^--file=", "", args[grep("^--file=", args)])))

# The normal law's integral by parts, F(upper) G(upper) + integral of F times
# the normal density: integrate is not accurate on f itself below A = 1, where
# f is infinite at 0 (its error of 1e-4 moved the bounds of A by as much).
make_model_direct <- make_model
make_model <- function(d, law, exits = NULL) {
  m <- make_model_direct(d, law, exits)
  if (law != "normal") return(m)
  t <- d$times[d$times > 0 & d$times <= d$Tz]
  n <- length(t)
  G <- function(x) pnorm(x, d$sred, d$sko, lower.tail = FALSE)
  integral <- function(A, B, upper = d$Tz)
    pweibull(upper, A, B) * G(upper) +
      integrate(function(x) pweibull(x, A, B) * dnorm(x, d$sred, d$sko), 0, upper, rel.tol = 1e-12,
                subdivisions = 2000L)$value
  sumlogG <- sum(log(G(t)))
  dens <- function(A, B) sum(dweibull(t, A, B, log = TRUE))
  m$free <- function(A, B, K) n * log(d$N * K) + dens(A, B) + sumlogG - d$N * K * integral(A, B)
  m$khat <- function(A, B) n / (d$N * integral(A, B))
  m$once <- function(A, B) dens(A, B) + sumlogG + (d$N - n) * log1p(-integral(A, B))
  m
}

# optim's BFGS stops on a non-finite gradient far out on a ridge: its start
# then stands (the Nelder-Mead result before it)
optim_plain <- optim
optim <- function(par, fn, ...)
  tryCatch(optim_plain(par, fn, ...), error = function(e) list(par = par, value = fn(par)))

# A fleet whose causes age differently, simulated here: every product leaves
# warranty at a normal time and fails by each cause's law as a Poisson process.
simulate_fleet3 <- function(path) {
  set.seed(20261211)
  N <- 4000
  laws <- list(list(name = "Подшипник", A = 0.7, B = 20000, K = 0.3),
               list(name = "Уплотнение", A = 1.2, B = 8000, K = 0.2),
               list(name = "Привод", A = 3, B = 5000, K = 0.4),
               list(name = "Датчик", A = 1, B = 50000, K = 0.002))
  w <- pmax(1, rnorm(N, 3000, 700))
  recs <- character(0)
  for (l in laws) {
    Fw <- pweibull(w, l$A, l$B)
    k <- rpois(N, l$K * Fw)
    u <- runif(sum(k)) * rep(Fw, k)
    t <- pmax(0.1, round(qweibull(u, l$A, l$B), 1))
    recs <- c(recs, paste0(format(t, nsmall = 1, trim = TRUE), "\t", l$name))
  }
  recs <- recs[sample.int(length(recs))]
  lines <- c("Парк с причинами разного старения", "3000", "700", as.character(N),
             as.character(length(recs)), as.character(length(laws)), sapply(laws, `[[`, "name"), recs)
  con <- file(path, open = "wb")
  writeLines(iconv(lines, from = "UTF-8", to = "CP1251"), con, sep = "\r\n")
  close(con)
}

read_with_causes <- function(path) {
  lines <- iconv(readLines(path, warn = FALSE), from = "CP1251", to = "UTF-8")
  num <- function(s) as.numeric(gsub(",", ".", trimws(s)))
  ncauses <- num(lines[6])
  causes <- trimws(lines[7:(6 + ncauses)])
  recs <- lines[(7 + ncauses):length(lines)]
  recs <- recs[nchar(trimws(recs)) > 0]
  times <- num(sub("[\t ].*$", "", recs))
  source <- tolower(sub("\\*.*$", "", sub("^[^\t ]+[\t ]+", "", recs)))
  cause <- sapply(source, function(s) {
    hit <- causes[sapply(tolower(causes), function(c) grepl(c, s, fixed = TRUE))]
    if (length(hit) > 1) stop("a record names two causes: ", s)
    if (length(hit) == 1) hit else "Другие"
  })
  d <- read_data(path)
  d$all <- times
  d$cause <- unname(cause)
  d$names <- c(causes, "Другие")
  d
}

# max ln L with a figure K u(A, B) held at v: with K free K follows, searched
# over (ln A, ln B) from the estimate; with K = 1 the scale follows from
# u(A, B) = v by a root in ln B, and the shape is searched
scaled_profile <- function(m, mode, e, u, v) {
  if (mode == "free") {
    f <- function(p) {
      A <- exp(p[1]); B <- exp(p[2])
      if (A < AMIN || A > AMAX || B < BMIN || B > BMAX) return(1e300)
      uu <- u(A, B)
      if (!is.finite(uu) || uu <= 0) return(1e300)
      -safe(m$free(A, B, v / uu))
    }
    r <- optim(c(log(e$A), log(e$B)), f, control = list(reltol = 1e-14, maxit = 5000))
    r <- optim(r$par, f, method = "BFGS", control = list(reltol = 1e-15))
    return(-r$value)
  }
  g <- function(a) {
    A <- exp(a)
    h <- function(b) log(max(u(A, exp(b)), 1e-300)) - log(v)
    if (sign(h(log(BMIN))) == sign(h(log(BMAX)))) return(-1e300)
    b <- uniroot(h, c(log(BMIN), log(BMAX)), tol = 1e-13)$root
    safe(m$once(A, exp(b)))
  }
  grid_max(g, log(e$A) - 1.5, log(e$A) + 1.5, points = 20)
}

# where that profile falls `drop` below the maximum, walking from the estimate
scaled_side <- function(m, mode, e, u, est, drop, dir) {
  thr <- e$ll - drop
  g <- function(x) scaled_profile(m, mode, e, u, exp(x)) - thr
  x0 <- log(est); step <- 0.02; inside <- x0
  repeat {
    x <- x0 + dir * min(step, REACH)
    if (g(x) <= 0) return(exp(uniroot(g, sort(c(inside, x)), tol = 1e-12)$root))
    if (step >= REACH) return(NA)
    inside <- x; step <- step * 2
  }
}

fig_names <- c("A", "B", "K_powtor", "F1000", "F2000", "F4000")

causes_rows <- function(set, path) {
  d <- read_with_causes(path)
  rows <- list(); models <- list(); lls <- c()
  for (nm in d$names) {
    dc <- d
    dc$times <- sort(d$all[d$cause == nm])
    m <- make_model(dc, "normal")
    if (m$n < 3) {
      rows[[length(rows) + 1]] <- data.frame(set = set, cause = nm, figure = "n", estimate = m$n,
                                             lower = NA, upper = NA)
      next
    }
    e <- fit(m, "free")
    models[[length(models) + 1]] <- m
    lls <- c(lls, e$ll)
    rows[[length(rows) + 1]] <- data.frame(set = set, cause = nm, figure = "n", estimate = m$n,
                                           lower = NA, upper = NA)
    rows[[length(rows) + 1]] <- data.frame(set = set, cause = nm, figure = "loglik", estimate = e$ll,
                                           lower = NA, upper = NA)
    for (f in fig_names) {
      est <- figure(f, e$A, e$B, e$K)
      if (f %in% names(hours)) {
        u <- local({ h <- hours[[f]]; function(A, B) pweibull(h, A, B) })
        lo <- scaled_side(m, "free", e, u, est, qchisq(0.95, 1) / 2, -1)
        hi <- scaled_side(m, "free", e, u, est, qchisq(0.95, 1) / 2, +1)
      } else {
        lo <- bound(m, "free", f, est, e$ll, -1)
        hi <- bound(m, "free", f, est, e$ll, +1)
      }
      rows[[length(rows) + 1]] <- data.frame(set = set, cause = nm, figure = f, estimate = est,
                                             lower = lo, upper = hi)
      cat(set, nm, f, format(est, digits = 10), format(lo, digits = 10), format(hi, digits = 10), "\n")
    }
  }
  # one shape for all causes, each with its own scale and K
  common <- function(a) sum(sapply(models, function(m)
    grid_max(function(b) safe(ll_ab(m, "free", exp(a), exp(b))), log(BMIN), log(BMAX))))
  grid <- seq(log(0.1), log(10), length.out = 40)
  v <- sapply(grid, common)
  i <- which.max(v)
  o <- optimize(common, c(grid[max(1, i - 1)], grid[min(40, i + 1)]), maximum = TRUE, tol = 1e-10)
  stat <- 2 * (sum(lls) - max(v[i], o$objective))
  p <- pchisq(stat, length(models) - 1, lower.tail = FALSE)
  rows[[length(rows) + 1]] <- data.frame(set = set, cause = "", figure = "shape_stat", estimate = stat,
                                         lower = NA, upper = NA)
  rows[[length(rows) + 1]] <- data.frame(set = set, cause = "", figure = "shape_p", estimate = p,
                                         lower = NA, upper = NA)
  cat(set, "shape test", stat, p, "\n")
  do.call(rbind, rows)
}

# ---- forecast ----

nodes <- c(-2.856970013872806, -1.355626179974266, 0, 1.355626179974266, 2.856970013872806)
weights <- c(0.011257411327721, 0.222075922005613, 0.533333333333333, 0.222075922005613, 0.011257411327721)

forecast_rows <- function(set, path, mode, M, mean, sd, times, extend) {
  d <- read_data(path)
  m <- make_model(d, "normal")
  e <- fit(m, mode)
  Gn <- function(mu) function(x) pnorm(x, mu, sd, lower.tail = FALSE)
  # by parts, F(upper) G(upper) + integral of F times the normal density: a
  # tiny scale puts all of f in a spike that integrate would step over
  U <- function(A, B, upper, mu = mean)
    pweibull(upper, A, B) * Gn(mu)(upper) +
      integrate(function(x) pweibull(x, A, B) * dnorm(x, mu, sd), 0, upper, rel.tol = 1e-11,
                subdivisions = 2000L)$value
  end <- function(mu) mu + qnorm(1e-12, lower.tail = FALSE) * sd
  prof <- function(u, v) scaled_profile(m, mode, e, u, v)
  side <- function(u, est, drop, dir) scaled_side(m, mode, e, u, est, drop, dir)
  cdf <- function(y, mu) if (mode == "free") ppois(y, mu) else pbinom(y, round(M), pmin(1, mu / round(M)))
  one <- function(label, time, u) {
    est <- e$K * u(e$A, e$B)
    drop <- qchisq(0.95, 1) / 2
    lo <- side(u, est, drop, -1); hi <- side(u, est, drop, +1)
    mus <- sapply(nodes, function(z) if (z == 0) est else side(u, est, z * z / 2, sign(z)))
    mix <- function(y) sum(weights * sapply(mus, function(mu) cdf(y, mu)))
    q <- function(p) { y <- 0; while (mix(y) < p) y <- y + 1; y }
    cat(set, label, est, lo, hi, q(0.025), q(0.975), "\n")
    data.frame(set = set, figure = label, time = time, estimate = est, lower = lo, upper = hi,
               pred_lower = q(0.025), pred_upper = q(0.975))
  }
  rows <- list()
  for (t in times)
    rows[[length(rows) + 1]] <- one(paste0("E", t), t, function(A, B) M * U(A, B, min(t, end(mean))))
  rows[[length(rows) + 1]] <- one("total", end(mean), function(A, B) M * U(A, B, end(mean)))
  if (extend > 0) {
    mu2 <- mean + extend
    rows[[length(rows) + 1]] <- one("extended", end(mu2), function(A, B) M * U(A, B, end(mu2), mu2))
    rows[[length(rows) + 1]] <- one("extra", end(mu2), function(A, B)
      M * (U(A, B, end(mu2), mu2) - U(A, B, end(mean))))
  }
  do.call(rbind, rows)
}

simulate_fleet3(file.path(here, "fleet3.txt"))
causes <- rbind(causes_rows("sample", file.path(here, "sample.txt")),
                causes_rows("fleet3", file.path(here, "fleet3.txt")))
write.csv(causes, file.path(here, "golden_causes.csv"), row.names = FALSE, quote = FALSE)

forecast <- rbind(
  forecast_rows("sample_free", file.path(here, "sample.txt"), "free", 2000, 3500, 600, c(1000, 3000), 500),
  forecast_rows("sample_once", file.path(here, "sample.txt"), "once", 2000, 3500, 600, c(1000, 3000), 0),
  forecast_rows("fleet3_free", file.path(here, "fleet3.txt"), "free", 5000, 3000, 700, c(1000, 3000), 500))
write.csv(forecast, file.path(here, "golden_forecast.csv"), row.names = FALSE, quote = FALSE)
