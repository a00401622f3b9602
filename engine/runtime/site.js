// Small behaviours of the generated pages; every page works without them.
(function () {
    function each(selector, action) {
        var nodes = document.querySelectorAll(selector);
        for (var i = 0; i < nodes.length; i++) action(nodes[i]);
    }

    function ready() {
        // "more..." shows the whole text of a cut cell.
        each("a.ow-more", function (link) {
            link.addEventListener("click", function (event) {
                event.preventDefault();
                var cell = link.parentNode;
                var short = cell.querySelector(".ow-short");
                var full = cell.querySelector(".ow-full");
                if (short) short.hidden = true;
                if (full) full.hidden = false;
                link.parentNode.removeChild(link);
            });
        });
        // Deleting asks first.
        each("form.ow-delete", function (form) {
            form.addEventListener("submit", function (event) {
                if (!window.confirm("Delete this record?")) event.preventDefault();
            });
        });
        // A new page size applies at once.
        each("select.ow-autosubmit", function (select) {
            select.addEventListener("change", function () {
                if (select.form) select.form.submit();
            });
        });
        each("[data-ow-print]", function (button) {
            button.hidden = false;
            button.addEventListener("click", function () {
                window.print();
            });
        });
    }

    if (document.readyState == "loading") document.addEventListener("DOMContentLoaded", ready);
    else ready();
})();
