-- A project in the layout of older tools (DatabaseVersion 99, no unique key, no
-- denotation column) whose line 1 holds the 20 objects 0x2000 to 0x2013, each with
-- sub-indices 0..254. Texts are NULL or name Strings rows that do not exist, as in files of
-- older tools.
begin;
create table Strings (id integer primary key, string text);
insert into Strings values(1, 'Big object'), (2, 'Entry');
create table Nodes (nodeId integer primary key, name text, edspath text, xddpath text);
insert into Nodes values(0, 'Old', '', ''), (1, 'Big', '', '');
create table GeneralSettings (item text unique, value text);
insert into GeneralSettings values('line0type', '1'), ('line1type', '1');
create table MiscSettings (item text unique, value text);
insert into MiscSettings values('DatabaseVersion', '99');
create table Connections (prodnode integer, prodindex integer, prodsub integer, connode integer, conindex integer, consub integer);
create table Objects0 (objectindex integer primary key, name integer, datatype integer not null, objecttype integer not null, description integer, category integer);
create table SubObjects0 (objectindex integer not null, subindex integer not null, name integer, datatype integer not null, accesstype text not null, defaultvalue text, currentvalue text, pdomapping integer, lowlimit integer, uplimit integer, size integer, defaultineds integer, limitineds integer, refuseread integer, refusewrite integer, allowedaccesstypes text, implementation integer not null, varname text, description integer, category integer, nvstorage integer);
create table Objects1 (objectindex integer primary key, name integer, datatype integer not null, objecttype integer not null, description integer, category integer);
create table SubObjects1 (objectindex integer not null, subindex integer not null, name integer, datatype integer not null, accesstype text not null, defaultvalue text, currentvalue text, pdomapping integer, lowlimit integer, uplimit integer, size integer, defaultineds integer, limitineds integer, refuseread integer, refusewrite integer, allowedaccesstypes text, implementation integer not null, varname text, description integer, category integer, nvstorage integer);
with recursive o(i) as (select 8192 union all select i + 1 from o where i < 8211)
insert into Objects1 select i, 1, 7, 9, NULL, 1 from o;
with recursive o(i) as (select 8192 union all select i + 1 from o where i < 8211),
s(j) as (select 0 union all select j + 1 from s where j < 254)
insert into SubObjects1 select i, j, case when j % 3 = 0 then 888888 else 2 end, 7, 'rw', j,
'', 0, 0, 0, 4, 1, 0, 0, 0, 'rw', 0, 'v', case when j % 2 = 0 then NULL else 999999 end, 1, 0
from o, s;
commit;
