# Finding and running the programs of the suite. Every analysis is theirs: this package writes
# networks for them, runs them, and reads what they write.

program_names <- c("flowanalysis", "flowanalysis2", "flowentry")

# The folder named by the option or the environment, "" when neither names one.
program_folder <- function(bin) {
  if (!is.null(bin) && nzchar(bin)) return(bin)
  option <- getOption("flownet.bin", "")
  if (nzchar(option)) return(option)
  Sys.getenv("FLOWNET_BIN", "")
}

flownet_programs <- function(bin = NULL) {
  folder <- program_folder(bin)
  paths <- if (nzchar(folder)) file.path(folder, program_names) else Sys.which(program_names)
  missing <- !nzchar(paths) | !file.exists(paths)
  if (any(missing)) {
    where <- if (nzchar(folder)) paste0("in ", folder) else "on the PATH"
    stop(flownet_condition(paste0(
      "the flownet programs were not found ", where, ": ",
      paste(program_names[missing], collapse = ", "),
      ". Install them (cmake --install build --prefix DIR puts them in DIR/bin) and put ",
      "that folder on the PATH, or name it with options(flownet.bin = \"DIR/bin\") or the ",
      "environment variable FLOWNET_BIN."), "flownet_missing"))
  }
  structure(normalizePath(unname(paths)), names = program_names)
}

flownet_available <- function(bin = NULL) {
  tryCatch({
    flownet_programs(bin)
    TRUE
  }, error = function(e) FALSE)
}

flownet_example <- function(name = NULL) {
  folder <- file.path(dirname(dirname(flownet_programs()[["flowentry"]])), "share", "flownet",
                      "examples")
  if (is.null(name)) return(sort(list.files(folder, pattern = "\\.(dat|csv)$")))
  path <- file.path(folder, name)
  if (!file.exists(path)) {
    stop(flownet_condition(paste0("no bundled network ", name, " in ", folder), "flownet_error"))
  }
  path
}

# An error of this package or of a program, with the program's message.
flownet_condition <- function(message, class, status = NA_integer_) {
  structure(class = c(class, "flownet_error", "error", "condition"),
            list(message = message, call = NULL, status = status))
}

# Runs a program of the suite with the arguments; its exit status and what it wrote. A status of
# 2 (a usage error, a file that cannot be read or written, a record that cannot be read) is an R
# error carrying the program's message.
run_program <- function(program, args) {
  exe <- flownet_programs()[[program]]
  out <- tempfile("flownet-out-")
  err <- tempfile("flownet-err-")
  on.exit(unlink(c(out, err)), add = TRUE)
  status <- suppressWarnings(system2(exe, shQuote(args), stdout = out, stderr = err))
  result <- list(status = status,
                 stdout = if (file.exists(out)) readLines(out, warn = FALSE) else character(),
                 stderr = if (file.exists(err)) readLines(err, warn = FALSE) else character())
  if (status >= 2) {
    stop(flownet_condition(paste(c(result$stderr, paste0(program, " ended with status ", status)),
                                 collapse = "\n"), "flownet_program_error", status))
  }
  result
}

# The lines a program wrote on standard error, each as an R warning.
warn_lines <- function(lines) {
  for (line in lines[nzchar(lines)]) warning(line, call. = FALSE)
}
