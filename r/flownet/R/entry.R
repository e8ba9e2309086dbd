# The steady-state check and the balancing, by flowentry.

flownet_check <- function(x) {
  files <- network_files(list(x))
  on.exit(unlink(attr(files, "temporary")), add = TRUE)
  result <- run_program("flowentry", c("--check", as.character(files)))
  structure(list(steady = result$status == 0, diagnostics = result$stdout),
            class = c("flownet_check", "list"))
}

flownet_balance <- function(x, method = c("average", "input", "output")) {
  method <- match.arg(method)
  files <- network_files(list(x))
  out <- tempfile("flownet-", fileext = ".csv")
  changes <- tempfile("flownet-changes-", fileext = ".csv")
  on.exit(unlink(c(attr(files, "temporary"), out, changes)), add = TRUE)
  args <- c("--balance", as.character(files), "-o", out, "--to", "csv", "--changes", changes,
            "-q", if (method != "average") c("--method", method))
  result <- run_program("flowentry", args)
  if (result$status == 1) {
    stop(flownet_condition(paste(c(result$stderr, "the network cannot be balanced"),
                                 collapse = "\n"), "flownet_unbalanced", 1L))
  }
  net <- read_matrix_csv(out)
  attr(net, "changes") <- read.csv(changes, stringsAsFactors = FALSE, encoding = "UTF-8")
  net
}
