# The analyses: the networks are handed to an analysis program, and its JSON results (format
# version 2, see docs/results.md of the suite) come back as R values.

# A JSON value as parsed with simplifyVector = FALSE, made into what R users expect: an array of
# numbers, logicals or texts a vector (null an NA), an array of equal-length arrays of numbers a
# matrix (one row per inner array), an array of objects a data frame (a column that is not one
# value per row a list column), objects named lists.
simplify_json <- function(v) {
  if (!is.list(v)) return(v)
  if (!is.null(names(v))) return(lapply(v, simplify_json))
  if (length(v) == 0) return(v)
  scalar <- function(e) is.null(e) || (is.atomic(e) && length(e) == 1)
  if (all(vapply(v, scalar, logical(1)))) {
    types <- unique(vapply(v[!vapply(v, is.null, logical(1))], typeof, character(1)))
    values <- lapply(v, function(e) if (is.null(e)) NA else e)
    if (length(types) <= 1 || all(types %in% c("integer", "double"))) return(unlist(values))
    return(values)
  }
  rows <- function(e) is.list(e) && is.null(names(e)) && length(e) > 0 &&
    all(vapply(e, function(x) is.null(x) || is.numeric(x), logical(1)))
  if (all(vapply(v, rows, logical(1))) && length(unique(lengths(v))) == 1) {
    return(do.call(rbind, lapply(v, function(r) unlist(lapply(r, function(x) if (is.null(x)) NA else x)))))
  }
  if (all(vapply(v, function(e) is.list(e) && !is.null(names(e)), logical(1)))) {
    return(records_frame(v))
  }
  lapply(v, simplify_json)
}

# An array of JSON objects as a data frame.
records_frame <- function(v) {
  keys <- unique(unlist(lapply(v, names)))
  columns <- lapply(keys, function(k) {
    cells <- lapply(v, function(r) r[[k]])
    one <- vapply(cells, function(e) is.null(e) || (is.atomic(e) && length(e) == 1), logical(1))
    if (all(one)) {
      unlist(lapply(cells, function(e) if (is.null(e)) NA else e))
    } else {
      I(lapply(cells, simplify_json))
    }
  })
  names(columns) <- keys
  as.data.frame(columns, stringsAsFactors = FALSE, optional = TRUE)
}

# Every n x n matrix of the results gets the compartments' names as dimnames; the transformation
# matrix of the trophic aggregation its levels and living compartments.
name_matrices <- function(v, names) {
  n <- length(names)
  if (is.matrix(v) && is.numeric(v) && nrow(v) == n && ncol(v) == n) {
    dimnames(v) <- list(names, names)
    return(v)
  }
  if (is.list(v) && !is.data.frame(v)) return(lapply(v, name_matrices, names))
  v
}

as_results <- function(net) {
  r <- simplify_json(net)
  names <- as.character(r$compartments$name)
  r <- name_matrices(r, names)
  L <- r$trophicAggregation$transformation
  if (is.matrix(L)) {
    dimnames(L) <- list(paste("level", seq_len(nrow(L))), names[seq_len(ncol(L))])
    r$trophicAggregation$transformation <- L
  }
  if (is.data.frame(r$flows) && nrow(r$flows) > 0) {
    r$flows$fromName <- names[r$flows$from]
    r$flows$toName <- names[r$flows$to]
  }
  structure(r, class = c("flownet_results", "list"))
}

# The files the program is to read: the paths as given, the networks written as CSV tables into
# temporary files (named by the attribute "temporary").
network_files <- function(x) {
  items <- if (is.character(x)) as.list(x) else if (inherits(x, "flownet_network")) list(x) else x
  temporary <- character()
  files <- vapply(items, function(item) {
    if (is.character(item)) return(item)
    file <- tempfile("flownet-", fileext = ".csv")
    write_matrix_csv(as_flownet_network(item), file)
    temporary <<- c(temporary, file)
    file
  }, character(1))
  structure(files, temporary = temporary)
}

flownet_analyse <- function(x, program = c("flowanalysis2", "flowanalysis"), threads = NULL,
                            title = NULL, units = NULL) {
  program <- match.arg(program)
  files <- network_files(x)
  json <- tempfile("flownet-", fileext = ".json")
  on.exit(unlink(c(json, attr(files, "temporary"))), add = TRUE)
  run_program(program, c(as.character(files), "--no-report", "-q", "--json", json,
                                   if (!is.null(threads)) c("--threads", threads),
                                   reader_options(title, units)))
  doc <- jsonlite::fromJSON(json, simplifyVector = FALSE)
  for (p in doc$problems) warning(paste0(program, ": ", p$message), call. = FALSE)
  results <- lapply(doc$networks, as_results)
  for (r in results) {
    if (!isTRUE(r$steadyState$steady)) {
      warning(paste0(r$file, ", network ", r$ordinal, ": not in steady state (largest ",
                     "imbalance ", signif(r$steadyState$largestImbalance, 4), ")"), call. = FALSE)
    }
  }
  if (length(results) == 1 && length(files) == 1) results[[1]] else results
}

print.flownet_results <- function(x, ...) {
  cat("flownet results: ", x$title, " (", x$compartmentCount, " compartments, ",
      x$livingCount, " living)\n", sep = "")
  s <- x$summary
  cat("  TST ", format(s$TST, digits = 6), ", TSTp ", format(s$TSTp, digits = 6),
      ", ascendency ", format(s$ascendency, digits = 6), ", Finn's FCI ",
      format(s$FCI, digits = 4), "\n", sep = "")
  cat("  tables: compartments, flows; lists: ", paste(setdiff(names(x), c(
    "compartments", "flows")), collapse = ", "), "\n", sep = "")
  invisible(x)
}
